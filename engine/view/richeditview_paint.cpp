#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtGui/private/qtextdocumentlayout_p.h>

namespace engine {

void RichEditView::setSelectionShownWithoutFocus(bool shown)
{
    if (d->selectionShownWithoutFocus == shown)
        return;
    d->selectionShownWithoutFocus = shown;
    viewport()->update();
}

void RichEditView::paintEvent(QPaintEvent *event)
{
    if (d->selectionShownWithoutFocus || hasFocus() || !textCursor().hasSelection())
        QTextEdit::paintEvent(event);
    else
        paintWithoutSelection(event->rect());
    if (!d->notes->isEmpty()) {
        QPainter painter(viewport());
        painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
        d->notes->paint(painter);
    }
}

NoteList &RichEditView::noteList() const
{
    return *d->notes;
}

// Paints the document as the text edit does, but with no selection and no caret: Qt has no
// way to leave out an unfocused selection, and painting it in the text colour would hide
// the text's own colours.
void RichEditView::paintWithoutSelection(const QRect &area)
{
    QPainter painter(viewport());
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-offset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.cursorPosition = -1;
    context.clip = area.translated(offset);
    const QList<ExtraSelection> extras = extraSelections();
    for (const ExtraSelection &extra : extras)
        context.selections.append({extra.cursor, extra.format});
    painter.setClipRect(context.clip, Qt::IntersectClip);

    // The layout widens the root frame to the viewport while it paints, as for the text edit.
    auto *layout = qobject_cast<QTextDocumentLayout *>(document()->documentLayout());
    if (layout)
        layout->setViewport(viewport()->rect());
    document()->documentLayout()->draw(&painter, context);
    if (layout)
        layout->setViewport(QRect());
}

}  // namespace engine
