#pragma once

class QTextCursor;
class QTextDocument;

// Inserts all of one document into another at a cursor: what a paste does with the
// document read from the clipboard. The result is what inserting a QTextDocumentFragment
// of `source` gives (the cursor's selection replaced, the first paragraph's text joining
// the paragraph at the cursor, lists and tables becoming new ones of the target, the
// pictures' cached resources coming along) and it is one undo step. It goes straight
// from `source` into the target's storage, without the fragment's own copy, walking the
// source's pieces and paragraphs in order; the target's other cursors are moved once,
// at the end; each of the lists it brings is filled in one pass: Qt's own insertion
// touches every item of a list each time one joins it, which costs time growing with
// the square of its length. Undo gives back the format of the target's first paragraph
// mark too, which Qt's own insertion at the start leaves changed.
// An empty `source` changes nothing, the selection included.
namespace engine {

void insertDocument(QTextCursor &cursor, const QTextDocument *source);

}  // namespace engine
