#pragma once
#include <QHash>

class QTextCursorPrivate;
class QTextDocument;

// Holds back the moving of a document's cursors while one insertion puts many pieces in
// one after another at the same growing place, and moves them once when it is done. Qt
// visits every cursor of the document after each piece, which costs about as much as
// the piece itself whatever the number of cursors: a paste of a long document is made
// of hundreds of thousands of pieces.
//
// Between construction and finish() the insertion must only insert, each piece right
// after the one before, starting at `position`; finish() then moves each cursor at or
// after `position` by the length inserted, as inserting piece by piece would have. A
// cursor moved meanwhile (by a part of the insertion that let cursors follow) is moved
// from where it stood at construction, so that it is not moved twice.
namespace engine {

class DeferredCursorMoves {
public:
    DeferredCursorMoves(QTextDocument *document, int position);
    ~DeferredCursorMoves();
    DeferredCursorMoves(const DeferredCursorMoves &) = delete;
    DeferredCursorMoves &operator=(const DeferredCursorMoves &) = delete;

    void finish(int insertedLength);

private:
    void follow(bool follow);

    struct Place {
        int position;
        int anchor;
        int adjustedAnchor;
    };

    QTextDocument *m_document;
    int m_position;
    QHash<QTextCursorPrivate *, Place> m_places;  // of the cursors there at construction
    bool m_finished = false;
};

}  // namespace engine
