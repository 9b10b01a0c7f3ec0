#pragma once
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;
class QTextImageFormat;

// Builds the QTextDocument the RTF reader produces, through one QTextCursor. Text runs
// of one format are collected and inserted together. A paragraph is created only when
// something is put into it, so the paragraph mark that ends the last paragraph of a
// file adds no empty paragraph after it.
namespace engine::rtfin {

class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument *document);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder &) = delete;
    DocumentBuilder &operator=(const DocumentBuilder &) = delete;

    void appendText(const QString &text, const QTextCharFormat &format);
    void appendImage(const QTextImageFormat &format);

    // True once the current paragraph has text or a picture.
    bool paragraphHasContent() const { return m_hasContent; }

    // Ends the current paragraph with these formats; markFormat is the format of its
    // paragraph mark, kept for an empty paragraph so that typing into it uses it.
    void endParagraph(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat);

    // Gives the last paragraph its formats when no paragraph mark ended it, and
    // completes the document.
    void finish(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat);

private:
    void openParagraph();
    void flushText();
    void formatParagraph(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat);

    QTextDocument *m_document;
    QTextCursor m_cursor;
    QString m_text;
    QTextCharFormat m_textFormat;
    bool m_needParagraph = false;  // the previous paragraph ended; open one on content
    bool m_hasContent = false;
    bool m_undoWasEnabled = true;
};

}  // namespace engine::rtfin
