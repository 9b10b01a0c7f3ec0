#pragma once
#include <QByteArray>

class QTextDocument;

namespace engine {

// The whole document as RTF, read through the public QTextDocument API only. The
// output is 7-bit, declares \ansicpg1252 and writes \uN (with a '?' fallback) for
// characters outside that code page. Every paragraph, the last one included, ends with
// \par followed by CR LF; a reader that takes the final \par as the end of the last
// paragraph gets the same paragraph count back. The same document always gives the
// same bytes.
QByteArray writeRtf(const QTextDocument *document);

// The characters from `start` to `end` (document positions, end excluded) as a document
// of their own, the way a copied selection is handed to other programs: every paragraph
// the range touches is written with its paragraph format and cut to the range, and a
// range that ends at the start of a paragraph ends with an empty one. The page setup
// and the groups kept from a file stay behind. Only a range that cuts through a table
// is first copied out of the document (the cut table as Qt copies it); any other range
// is written in one pass over the document, in time that grows with its length.
QByteArray writeRtfRange(const QTextDocument *document, int start, int end);

}  // namespace engine
