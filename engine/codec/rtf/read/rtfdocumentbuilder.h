#pragma once
#include "engine/codec/rtf/read/rtflistbuilder.h"
#include "engine/codec/rtf/read/storageappender.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <optional>
#include <span>
#include <vector>

class QTextDocument;
class QTextImageFormat;
class QTextList;
class QTextObject;

namespace engine {
struct RtfAppend;
}

// Builds the QTextDocument the RTF reader produces, always at its end, mostly straight
// into the document's storage. The runs of a paragraph are collected (text of one
// format joined into one run) and placed when the paragraph ends, together with its
// block format: appended to the storage's trees directly (StorageAppender), or where
// only Qt's insertions can place them (the first paragraph, tables, marks inside the
// text) as one block insertion and one text insertion, the text then cut into its runs. A
// paragraph is created only when it has content or a paragraph mark ends it, so the mark
// that ends the last paragraph of a file adds no empty paragraph.
// With an RtfAppend, the document keeps what it holds and the paragraphs go in after it
// (appendCheckedRtf() in rtfreader.h tells how).
namespace engine::rtfin {

class DocumentBuilder {
public:
    DocumentBuilder(QTextDocument *document, RtfAppend *append = nullptr);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder &) = delete;
    DocumentBuilder &operator=(const DocumentBuilder &) = delete;

    // Makes room in the document's storage for what a source of this size may add.
    void reserveFor(qsizetype sourceBytes) { m_appender.reserveFor(sourceBytes); }

    // Text in the format of the index given (formatIndex()).
    void appendText(QStringView text, int format);
    void appendText(QLatin1StringView text, int format);  // printable ASCII, without a copy
    void appendText(QStringView text, const QTextCharFormat &format) { appendText(text, formatIndex(format)); }
    void appendImage(const QTextImageFormat &format);

    // True once the current paragraph has text or a picture.
    bool paragraphHasContent() const { return m_hasContent; }
    // The last character of the current paragraph that is no combining mark (a picture
    // counts as U+FFFC), or 0 when there is none.
    char32_t lastBaseCharacter() const { return m_lastBase; }

    using Run = TextRun;
    // A paragraph collected but not yet in the document (the paragraphs of a table are
    // placed when the whole table is known).
    struct Paragraph {
        QString text;
        std::vector<Run> runs;
        QTextBlockFormat format;
        QTextCharFormat markFormat;
        std::optional<ListItem> list;  // the list item the paragraph is, if any
    };

    // Ends the current paragraph with these formats; markFormat is the format of its
    // paragraph mark, which typing into an empty paragraph uses. `list` names the list
    // item the paragraph is, or is null.
    void endParagraph(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat);
    // Ends the current paragraph without placing it.
    Paragraph takeParagraph(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat);
    // Places a paragraph at the end of the document, after its paragraph mark; a
    // paragraph right after a frame's end starts with that end.
    void placeParagraph(Paragraph &&paragraph);
    // Places the first paragraph of a table cell, after the cell's start, whose format
    // (the cell format) has the index given.
    void placeCellParagraph(Paragraph &&paragraph, int cellFormatIndex);
    int formatIndex(const QTextFormat &format);
    // A new list or table of this format in the document.
    QTextObject *createObject(const QTextFormat &format);
    // A table is being placed: its cells follow, then its frame end.
    void beginFrame() { ++m_openFrames; }
    // Ends the frame (table) being placed; the paragraph placed next follows it, with
    // the block format given here.
    void placeFrameEnd(const QTextCharFormat &frameFormat, const QTextBlockFormat &nextFormat);
    QTextDocument *document() const { return m_document; }

    // Gives the last paragraph its formats when no paragraph mark ended it, and
    // completes the document.
    void finish(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat);

private:
    void setCursorsFollowInsertions(bool follow);
    bool joinsFirstParagraph(Paragraph &paragraph) const;
    void closeRun();
    void placeRuns(Paragraph &&paragraph);  // the text of a paragraph just begun
    bool appendDirectly(Paragraph &paragraph);  // false when the storage cannot take it so
    void reuseStorage(Paragraph &paragraph);
    void keepMarksAsLineBreaks(Paragraph &paragraph);
    void insertMarkedRun(const QString &paragraphText, const Run &run);
    void insertRuns(const QString &paragraphText, std::span<const Run> runs);
    void cutIntoRuns(int at, std::span<const Run> runs);
    bool runIsOpen() const { return m_text.size() > m_runStart; }
    int insertionPoint();
    void continueRun(int format);
    void noteBase(QStringView text);

    QTextDocument *m_document;
    QTextCursor m_cursor;
    std::vector<Run> m_runs;  // of the current paragraph
    QString m_text;           // the current paragraph's text
    qsizetype m_runStart = 0; // where the run being collected starts in it
    int m_textFormat = -1;    // index of the open run's format
    // The last paragraph format given a list, and the index of the result: list items
    // mostly share one format, which made anew would have to be hashed anew.
    struct ListedFormat {
        QTextBlockFormat format;
        const QTextList *list = nullptr;
        int index = -1;
    };
    ListedFormat m_lastListed;
    int listedFormatIndex(const QTextBlockFormat &format, const QTextList *list);
    bool m_textHasMarks = false;
    int m_paragraphs = 0;     // paragraphs put into the document so far
    int m_end = -1;           // where the next run goes, -1 when not known
    bool m_hasContent = false;
    char32_t m_lastBase = 0;
    bool m_afterFrameEnd = false;  // a frame's end has started the next paragraph
    int m_openFrames = 0;          // tables begun and not yet ended
    ListBuilder m_lists;
    StorageAppender m_appender;
    bool m_undoWasEnabled = true;
    RtfAppend *m_append;          // null when the document is read anew
    bool m_joinsText = false;     // the first paragraph's text joins a paragraph with text before it
    size_t m_objectsMade = 0;     // lists and tables made so far
};

}  // namespace engine::rtfin
