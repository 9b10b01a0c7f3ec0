#include "richedit/wwricholecallback.h"

#include <QBuffer>

using engine::OleResult;

OleResult TRichEditOleCallback::GetNewStorage(std::unique_ptr<QIODevice> &storage)
{
    auto buffer = std::make_unique<QBuffer>();
    if (!buffer->open(QIODevice::ReadWrite)) {
        storage.reset();
        return OleResult::OutOfMemory;
    }
    storage = std::move(buffer);
    return OleResult::Ok;
}

OleResult TRichEditOleCallback::GetInPlaceContext(QObject *&frame, QObject *&document)
{
    frame = nullptr;
    document = nullptr;
    return OleResult::NotImplemented;
}

OleResult TRichEditOleCallback::ShowContainerUI(bool)
{
    return OleResult::NotImplemented;
}

OleResult TRichEditOleCallback::QueryInsertObject(const engine::objects::EmbeddedObject &)
{
    return OleResult::Ok;
}

OleResult TRichEditOleCallback::DeleteObject(const engine::objects::EmbeddedObject &)
{
    return OleResult::Ok;
}

OleResult TRichEditOleCallback::QueryAcceptData(const QMimeData *, bool)
{
    return OleResult::Ok;
}

OleResult TRichEditOleCallback::ContextSensitiveHelp(bool)
{
    return OleResult::NotImplemented;
}

OleResult TRichEditOleCallback::GetClipboardData(QMimeData *&data)
{
    data = nullptr;
    return OleResult::NotImplemented;
}

OleResult TRichEditOleCallback::GetDragDropEffect(bool drag, Qt::KeyboardModifiers keys, quint32 &effect)
{
    if (drag)
        return OleResult::Ok;
    quint32 picked = engine::DROPEFFECT_MOVE;
    if ((keys & Qt::ControlModifier) && (keys & Qt::ShiftModifier))
        picked = engine::DROPEFFECT_LINK;
    else if (keys & Qt::ControlModifier)
        picked = engine::DROPEFFECT_COPY;
    if (effect & picked)
        effect = picked;
    return OleResult::Ok;
}

OleResult TRichEditOleCallback::GetContextMenu(QObject *&menu)
{
    menu = nullptr;
    return OleResult::Ok;
}
