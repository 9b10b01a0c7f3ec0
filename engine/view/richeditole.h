#pragma once
#include "engine/codec/objects/embeddedobject.h"
#include "engine/codec/objects/objectfactory.h"

#include <QIODevice>
#include <QTextCursor>
#include <memory>
#include <optional>

class QMimeData;

// The engine's embedded-object interface and the callback through which it consults its
// container: for new object storage, before inserting an object, for pasted and dropped
// data, for clipboard data, and for what a drop does.
namespace engine {

class RichEditView;

enum class OleResult { Ok, NotImplemented, OutOfMemory };

// What a drop does; several may be allowed at once.
enum DropEffect : quint32 { DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4 };

// The container's side, in the order the engine's interface declares it.
class RichEditOleCallback {
public:
    virtual ~RichEditOleCallback() = default;
    virtual OleResult GetNewStorage(std::unique_ptr<QIODevice> &storage) = 0;
    virtual OleResult GetInPlaceContext(QObject *&frame, QObject *&document) = 0;
    virtual OleResult ShowContainerUI(bool show) = 0;
    virtual OleResult QueryInsertObject(const objects::EmbeddedObject &object) = 0;
    virtual OleResult DeleteObject(const objects::EmbeddedObject &object) = 0;
    virtual OleResult QueryAcceptData(const QMimeData *data, bool reallyInsert) = 0;
    virtual OleResult ContextSensitiveHelp(bool enterMode) = 0;
    virtual OleResult GetClipboardData(QMimeData *&data) = 0;
    // keys are the modifiers held; effect holds the allowed effects and receives the one
    // picked.
    virtual OleResult GetDragDropEffect(bool drag, Qt::KeyboardModifiers keys, quint32 &effect) = 0;
    virtual OleResult GetContextMenu(QObject *&menu) = 0;
};

// The object in the selection: the selection is exactly that object's character.
struct SelectedObject {
    int position = 0;
    objects::EmbeddedObject object;
};

// The engine's object interface, one per view.
class RichEditOle {
public:
    explicit RichEditOle(RichEditView *view) : m_view(view) {}

    std::optional<SelectedObject> selectedObject() const;
    // Inserts at the selection, replacing it; the object is selected afterwards. False
    // when the container refuses the object or has no storage for it.
    bool insertObject(const objects::DocumentObject &object);
    // Puts a changed object in the place of the one at `position`, as one undoable edit.
    void replaceObject(int position, const objects::DocumentObject &object);
    // A cursor that selects the object at `position` and follows it through edits.
    QTextCursor trackObject(int position) const;

private:
    QTextImageFormat withPicture(const objects::DocumentObject &object) const;

    RichEditView *m_view;
};

}  // namespace engine
