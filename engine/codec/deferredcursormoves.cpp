#include "engine/codec/deferredcursormoves.h"

#include <QTextDocument>
#include <QtGui/private/qtextcursor_p.h>
#include <QtGui/private/qtextdocument_p.h>

namespace engine {
namespace {

// The document keeps its set of cursors to itself. Naming a private member in an
// explicit instantiation is allowed, which lets this file reach that set.
using CursorSet = QSet<QTextCursorPrivate *>;
using CursorsMember = CursorSet QTextDocumentPrivate::*;

CursorsMember cursorsMember();

template <CursorsMember Member>
struct CursorsOfDocument {
    friend CursorsMember cursorsMember() { return Member; }
};
template struct CursorsOfDocument<&QTextDocumentPrivate::cursors>;

}  // namespace

DeferredCursorMoves::DeferredCursorMoves(QTextDocument *document, int position)
    : m_document(document), m_position(position)
{
    for (QTextCursorPrivate *cursor : std::as_const(QTextDocumentPrivate::get(document)->*cursorsMember()))
        m_places.insert(cursor, {cursor->position, cursor->anchor, cursor->adjusted_anchor});
    follow(false);
}

DeferredCursorMoves::~DeferredCursorMoves()
{
    if (!m_finished)
        follow(true);
}

void DeferredCursorMoves::follow(bool follow)
{
    QTextDocumentPrivate::get(m_document)->blockCursorAdjustment = !follow;
}

void DeferredCursorMoves::finish(int insertedLength)
{
    follow(true);
    m_finished = true;
    if (insertedLength <= 0)
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    for (QTextCursorPrivate *cursor : std::as_const(storage->*cursorsMember())) {
        const auto place = m_places.constFind(cursor);
        if (place == m_places.cend())
            continue;  // made during the insertion, where it is
        cursor->position = place->position;
        cursor->anchor = place->anchor;
        cursor->adjusted_anchor = place->adjustedAnchor;
        if (cursor->adjustPosition(m_position, insertedLength, QTextUndoCommand::MoveCursor)
            == QTextCursorPrivate::CursorMoved)
            cursor->changed = true;
    }
}

}  // namespace engine
