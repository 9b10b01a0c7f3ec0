#pragma once
#include <QString>
#include <QtGlobal>
#include <optional>
#include <span>
#include <vector>

class QTextDocument;
class QTextDocumentPrivate;
class QTextObject;

// Appends paragraphs at the end of a document being built, straight into the trees of
// its storage, leaving what Qt's own insertions would: the same pieces of text, blocks,
// buffer, block revisions, list membership and change range. Qt's insertions find their
// place from the top of the trees, at a cost that grows with the document (more than
// the rest of reading a long one); appended at the known end, a piece costs the same
// however long the document is.
//
// Only for a document in an open edit block, with undo off and cursors not following
// insertions, whose formats name no frame (accepts() tells): the RTF reader's builder.
namespace engine::rtfin {

// Text of one format, a part of its paragraph's text.
struct TextRun {
    qsizetype from;
    qsizetype length;
    int format;          // index in the document's formats
    bool marks = false;  // the text holds paragraph or frame marks
};

class StorageAppender {
public:
    explicit StorageAppender(QTextDocument *document);

    // Whether a paragraph of these formats can be appended here: no mark in its text,
    // no frame behind any of its formats, and the document still being built.
    bool accepts(int blockFormat, int markFormat, std::span<const TextRun> runs);
    // Ends the last paragraph with a paragraph mark of char format `markFormat` and
    // appends a paragraph of block format `blockFormat` (a list's format joins the list)
    // holding `text` cut into `runs`, as Qt's insertBlock() and insert() at the end
    // followed by cutting the text into its runs would. Returns the new end: where text
    // goes before the document's last paragraph mark.
    int appendParagraph(int blockFormat, int markFormat, const QString &text, std::span<const TextRun> runs);
    // Sizes the text and the piece array for what a source of this many bytes may add.
    void reserveFor(qsizetype sourceBytes);

private:
    bool namesNoFrame(int format);
    QTextObject *objectOf(int blockFormat);
    void appendPiece(int length, int stringPosition, int format);
    uint appendBlock(int format);

    QTextDocument *m_document;
    QTextDocumentPrivate *m_storage;
    std::vector<qint8> m_frameless;  // by char format index: 0 not known yet, 1 names no frame, -1 does
    std::vector<std::optional<QTextObject *>> m_blockObjects;  // by block format index, once known
    uint m_lastPiece = 0;     // the piece appended last in this paragraph
    uint m_finalPiece = 0;    // the document's last paragraph mark
};

}  // namespace engine::rtfin
