#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

// Plain-text files. Reading honours a UTF-8 or UTF-16 byte-order mark, takes BOM-less
// bytes as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise, ends a
// paragraph at each CR LF, LF or lone CR, and drops NUL characters (keeping what follows
// them). Writing produces UTF-8 without a byte-order mark, one line per paragraph with
// CR LF between paragraphs and none after the last, so that reading what was written
// gives back the same paragraphs.
namespace engine {

// The bytes decoded to text, with every line end made "\n" and NULs removed.
QString decodePlainText(const QByteArray &bytes);

// Replaces the document's content with the decoded text, one block per line, in the
// document's default formats.
void readPlainText(const QByteArray &bytes, QTextDocument *document);

QByteArray writePlainText(const QTextDocument *document);

// The characters from `start` to `end` (end excluded) as copied text is handed to other
// programs: paragraph, line and table marks become "\n" and no-break spaces spaces;
// objects stay as U+FFFC.
QString plainTextOfRange(const QTextDocument *document, int start, int end);

}  // namespace engine
