#pragma once
#include <QByteArrayView>
#include <QString>
#include <QTextImageFormat>
#include <optional>

class QTextDocument;

// How a footnote, endnote or comment kept as RTF is shown in the text: a small raised
// mark (its number, or a star for a comment) whose tooltip is the note's text. A bookmark
// is a thin grey bar named by its tooltip; a text box or drawing object a framed box with
// the start of its text.
namespace engine::rtfin {

enum class NoteKind : quint8 { Footnote, Endnote, Comment, Bookmark, Shape };

// The note's readable text, for its tooltip: text, escaped bytes (as Latin-1) and \uN
// characters, optional groups (\*) inside the outermost group left out, paragraphs joined by spaces; cut at
// kMaxNoteTextLength characters.
constexpr qsizetype kMaxNoteTextLength = 1000;
QString noteText(QByteArrayView rtf);
// The text of a shape's text box (\shptxt) or drawing object's box (\dptxbxtext).
QString shapeText(QByteArrayView rtf);

// The number a footnote's or endnote's mark shows ("3", "iv"), with the kind; nullopt
// for any other format.
struct NoteLabel {
    NoteKind kind;
    QString text;
};
std::optional<NoteLabel> noteLabel(const QTextFormat &format);

// The mark's image format, its picture added to the document's resources under a name
// that begins with `namePrefix` (empty but for text read into a document that has
// pictures of its own).
QTextImageFormat noteMark(QTextDocument *document, NoteKind kind, int number, QByteArrayView rtf,
                          const QString &namePrefix = {});

// The mark of a field whose result is empty: it takes no room, and names the field's
// instruction in its tooltip.
QTextImageFormat emptyFieldMark(QTextDocument *document, const QString &instruction, const QString &namePrefix = {});

}  // namespace engine::rtfin
