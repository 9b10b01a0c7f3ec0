#pragma once
#include "engine/codec/rtf/read/rtflistbuilder.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <vector>

class QTextDocument;
class QTextImageFormat;

// Builds the QTextDocument the RTF reader produces, always at its end, mostly straight
// into the document's storage. The runs of a paragraph are collected (text of one
// format joined into one run) and inserted when the paragraph ends, together with its
// block format, so that each paragraph costs one block insertion. A paragraph is created only when it has content or a paragraph mark
// ends it, so the mark that ends the last paragraph of a file adds no empty paragraph.
namespace engine::rtfin {

class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument *document);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder &) = delete;
    DocumentBuilder &operator=(const DocumentBuilder &) = delete;

    void appendText(const QString &text, const QTextCharFormat &format);
    void appendText(QLatin1StringView text, const QTextCharFormat &format);  // ASCII runs, without a copy
    void appendImage(const QTextImageFormat &format);

    // True once the current paragraph has text or a picture.
    bool paragraphHasContent() const { return m_hasContent; }

    // Ends the current paragraph with these formats; markFormat is the format of its
    // paragraph mark, which typing into an empty paragraph uses. `list` names the list
    // item the paragraph is, or is null.
    void endParagraph(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat);

    // Gives the last paragraph its formats when no paragraph mark ended it, and
    // completes the document.
    void finish(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat);

private:
    struct Run {
        QString text;
        QTextCharFormat format;
    };

    void closeRun();
    void insertRun(const Run &run);
    void continueRun(const QTextCharFormat &format);

    QTextDocument *m_document;
    QTextCursor m_cursor;
    std::vector<Run> m_runs;  // of the current paragraph
    QString m_text;           // the run being collected
    QTextCharFormat m_textFormat;
    int m_paragraphs = 0;     // paragraphs put into the document so far
    bool m_hasContent = false;
    ListBuilder m_lists;
    bool m_undoWasEnabled = true;
};

}  // namespace engine::rtfin
