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

}  // namespace engine
