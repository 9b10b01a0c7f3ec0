#pragma once
#include <QByteArray>

class QTextCursor;

// A paste of RTF at the very end of a document (into an empty document above all) reads
// the RTF straight into the document, where a paste elsewhere reads it into a document of
// its own and then copies that in (documentinsertion.h): half the work for a long paste.
// The result is what that copy gives, but for one thing: in an empty document the first
// paragraph takes its formats even when it is empty. The document's own settings (page
// setup, kept groups) stay, and the pictures and marks it brings are named apart from
// the document's own. It is one undo step: undo removes what came in and gives the
// paragraph it came into its formats back; redo reads the same bytes again, which makes
// the same lists and tables under the same object indexes.
namespace engine {

// Whether a paste at the cursor goes this way: no selection, at the end of the document.
bool canPasteRtfAtEnd(const QTextCursor &cursor);

// Reads `rtf` in at the cursor, which canPasteRtfAtEnd() accepts, and puts the cursor
// after it. False when the bytes are not RTF: the document is left as it was.
bool pasteRtfAtEnd(QTextCursor &cursor, const QByteArray &rtf);

}  // namespace engine
