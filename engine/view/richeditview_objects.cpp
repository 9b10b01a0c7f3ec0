#include "engine/codec/textprops.h"
#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"

#include <QAbstractTextDocumentLayout>
#include <QDropEvent>
#include <QScrollBar>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace engine {
namespace {

bool isObjectCharacter(const QTextDocument *document, int position, QTextImageFormat *format = nullptr)
{
    if (position < 0 || position >= document->characterCount() - 1)
        return false;
    if (document->characterAt(position) != QChar::ObjectReplacementCharacter)
        return false;
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position + 1);
    const QTextCharFormat found = cursor.charFormat();
    if (!found.isImageFormat())
        return false;
    if (format)
        *format = found.toImageFormat();
    return true;
}

QList<QString> droppedLocalFiles(const QMimeData *data)
{
    QList<QString> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

quint32 allowedEffects(Qt::DropActions actions)
{
    quint32 effects = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction)
        effects |= DROPEFFECT_COPY;
    if (actions & Qt::MoveAction)
        effects |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction)
        effects |= DROPEFFECT_LINK;
    return effects;
}

}  // namespace

// ---- RichEditOle ----

std::optional<SelectedObject> RichEditOle::selectedObject() const
{
    const QTextCursor cursor = m_view->textCursor();
    if (cursor.selectionEnd() - cursor.selectionStart() != 1)
        return std::nullopt;
    QTextImageFormat format;
    if (!isObjectCharacter(m_view->document(), cursor.selectionStart(), &format))
        return std::nullopt;
    const std::optional<objects::EmbeddedObject> object = objects::objectOf(format);
    if (!object)
        return std::nullopt;
    return SelectedObject{cursor.selectionStart(), *object};
}

QTextImageFormat RichEditOle::withPicture(const objects::DocumentObject &object) const
{
    static int objectPictures = 0;
    const QUrl name(QStringLiteral("object-picture:%1").arg(++objectPictures));
    m_view->document()->addResource(QTextDocument::ImageResource, name, object.picture);
    QTextImageFormat format = object.format;
    format.setName(name.toString());
    return format;
}

bool RichEditOle::insertObject(const objects::DocumentObject &object)
{
    if (RichEditOleCallback *callback = m_view->m_oleCallback) {
        std::unique_ptr<QIODevice> storage;
        if (callback->GetNewStorage(storage) != OleResult::Ok || !storage)
            return false;
        const std::optional<objects::EmbeddedObject> embedded = objects::objectOf(object.format);
        if (embedded && callback->QueryInsertObject(*embedded) != OleResult::Ok)
            return false;
    }
    QTextCursor cursor = m_view->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertImage(withPicture(object));
    cursor.setPosition(start);
    cursor.setPosition(start + 1, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    return true;
}

void RichEditOle::replaceObject(int position, const objects::DocumentObject &object)
{
    if (!isObjectCharacter(m_view->document(), position))
        return;
    QTextCursor cursor(m_view->document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    cursor.setCharFormat(withPicture(object));
}

QTextCursor RichEditOle::trackObject(int position) const
{
    QTextCursor cursor(m_view->document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor;
}

// ---- The view's object handling ----

bool RichEditView::setOleCallback(RichEditOleCallback *callback)
{
    m_oleCallback = callback;
    return true;
}

// A click on a picture or object selects it whole, as the container's menu needs.
bool RichEditView::selectObjectAt(const QPoint &viewportPos)
{
    const QPoint documentPos = viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int hit = document()->documentLayout()->hitTest(documentPos, Qt::FuzzyHit);
    for (int position : {hit, hit - 1}) {
        QTextImageFormat format;
        if (!isObjectCharacter(document(), position, &format))
            continue;
        QTextCursor at(document());
        at.setPosition(position);
        const QRect caret = cursorRect(at);
        const QRect area(caret.left(), caret.bottom() - int(format.height()), int(format.width()) + 1,
                         int(format.height()) + 1);
        if (!area.united(caret).contains(viewportPos))
            continue;
        at.setPosition(position + 1, QTextCursor::KeepAnchor);
        setTextCursor(at);
        return true;
    }
    return false;
}

void RichEditView::dragMoveEvent(QDragMoveEvent *event)
{
    QTextEdit::dragMoveEvent(event);
    if (!m_oleCallback || !event->isAccepted())
        return;
    quint32 effect = allowedEffects(event->possibleActions());
    m_oleCallback->GetDragDropEffect(false, event->modifiers(), effect);
    if (effect & DROPEFFECT_LINK && !(effect & ~DROPEFFECT_LINK))
        event->setDropAction(Qt::LinkAction);
    else if (effect == DROPEFFECT_COPY)
        event->setDropAction(Qt::CopyAction);
    else if (effect == DROPEFFECT_MOVE)
        event->setDropAction(Qt::MoveAction);
}

void RichEditView::dropEvent(QDropEvent *event)
{
    if (!m_oleCallback) {
        QTextEdit::dropEvent(event);
        return;
    }
    quint32 effect = allowedEffects(event->possibleActions());
    m_oleCallback->GetDragDropEffect(false, event->modifiers(), effect);
    if (m_oleCallback->QueryAcceptData(event->mimeData(), true) != OleResult::Ok) {
        event->ignore();
        return;
    }
    if (dropFiles(event, effect))
        return;
    if (effect == DROPEFFECT_COPY)
        event->setDropAction(Qt::CopyAction);
    else if (effect == DROPEFFECT_MOVE)
        event->setDropAction(Qt::MoveAction);
    QTextEdit::dropEvent(event);
}

// Files dropped on the text: each becomes a picture or a package at the drop point
// (linked when the drop links).
bool RichEditView::dropFiles(QDropEvent *event, quint32 effect)
{
    const QList<QString> files = droppedLocalFiles(event->mimeData());
    if (files.isEmpty() || isReadOnly())
        return false;
    event->acceptProposedAction();
    QTextCursor at = cursorForPosition(event->position().toPoint());
    setTextCursor(at);
    for (const QString &file : files) {
        const objects::FileObjectResult made = objects::objectFromFile(file, effect == DROPEFFECT_LINK, false);
        if (!made.object) {
            emit objectDropFailed(made.error);
            continue;
        }
        at = textCursor();
        at.clearSelection();
        setTextCursor(at);
        m_ole.insertObject(*made.object);
        at = textCursor();
        at.setPosition(at.selectionEnd());
        setTextCursor(at);
    }
    return true;
}

}  // namespace engine
