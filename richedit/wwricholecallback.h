#pragma once
#include "engine/view/richeditole.h"

class TwwCustomRichEdit;

// The editor's answer to the engine's questions about embedded objects: fresh storage for
// a new object, every object and every kind of data accepted, no in-place user interface
// of its own, the engine's own clipboard data and the editor's own context menu, and the
// drop rule (Ctrl+Shift links, Ctrl copies, no key moves, each only when allowed).
class TRichEditOleCallback : public engine::RichEditOleCallback {
public:
    explicit TRichEditOleCallback(TwwCustomRichEdit *owner) : m_owner(owner) {}

    engine::OleResult GetNewStorage(std::unique_ptr<QIODevice> &storage) override;
    engine::OleResult GetInPlaceContext(QObject *&frame, QObject *&document) override;
    engine::OleResult ShowContainerUI(bool show) override;
    engine::OleResult QueryInsertObject(const engine::objects::EmbeddedObject &object) override;
    engine::OleResult DeleteObject(const engine::objects::EmbeddedObject &object) override;
    engine::OleResult QueryAcceptData(const QMimeData *data, bool reallyInsert) override;
    engine::OleResult ContextSensitiveHelp(bool enterMode) override;
    engine::OleResult GetClipboardData(QMimeData *&data) override;
    engine::OleResult GetDragDropEffect(bool drag, Qt::KeyboardModifiers keys, quint32 &effect) override;
    engine::OleResult GetContextMenu(QObject *&menu) override;

    TwwCustomRichEdit *owner() const { return m_owner; }

private:
    TwwCustomRichEdit *m_owner;
};
