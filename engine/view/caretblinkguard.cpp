#include "engine/view/caretblinkguard.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimerEvent>
#include <QtGui/private/qtextdocumentlayout_p.h>
#include <QtWidgets/private/qtextedit_p.h>
#include <QtWidgets/private/qwidgettextcontrol_p_p.h>

namespace engine {

namespace {

QWidgetTextControl *controlOf(QTextEdit *edit)
{
    return static_cast<QTextEditPrivate *>(QObjectPrivate::get(edit))->control;
}

int blinkTimerOf(QObject *control)
{
    return static_cast<QWidgetTextControlPrivate *>(QObjectPrivate::get(control))->cursorBlinkTimer.timerId();
}

}  // namespace

CaretBlinkGuard::CaretBlinkGuard(QTextEdit *edit)
    : QObject(edit)
    , m_edit(edit)
    , m_control(controlOf(edit))
{
    m_control->installEventFilter(this);
}

bool CaretBlinkGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control && event->type() == QEvent::Timer
        && static_cast<QTimerEvent *>(event)->timerId() == blinkTimerOf(m_control) && m_edit->textCursor().hasSelection()
        && caretAheadOfLayout())
        return true;
    return QObject::eventFilter(watched, event);
}

// The last paragraph may hold lines before Qt reaches it, given so that a cursor can be
// put there; Qt's layout is complete only once it has reached it.
bool CaretBlinkGuard::caretAheadOfLayout() const
{
    QTextDocument *document = m_edit->document();
    const auto *layout = qobject_cast<QTextDocumentLayout *>(document->documentLayout());
    if (!layout || layout->layoutStatus() == 100)
        return false;
    const QTextBlock block = document->findBlock(m_edit->textCursor().position());
    return block.layout()->lineCount() == 0 || block == document->lastBlock();
}

}  // namespace engine
