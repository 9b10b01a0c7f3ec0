#include "engine/codec/rtf/read/rtfdocumentbuilder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>
#include <utility>

namespace engine::rtfin {

DocumentBuilder::DocumentBuilder(QTextDocument *document)
    : m_document(document), m_lists(document)
{
    m_undoWasEnabled = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    m_cursor = QTextCursor(document);
    m_cursor.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder()
{
    if (!m_cursor.isNull())
        m_cursor.endEditBlock();
    m_document->setUndoRedoEnabled(m_undoWasEnabled);
}

void DocumentBuilder::closeRun()
{
    if (m_text.isEmpty())
        return;
    m_runs.push_back(Run{m_text, m_textFormat});
    m_text.clear();
}

// Text of the same format as the open run joins it; other text starts a new run.
void DocumentBuilder::continueRun(const QTextCharFormat &format)
{
    if (!m_text.isEmpty() && format != m_textFormat)
        closeRun();
    if (m_text.isEmpty())
        m_textFormat = format;
    m_hasContent = true;
}

void DocumentBuilder::appendText(const QString &text, const QTextCharFormat &format)
{
    if (text.isEmpty())
        return;
    continueRun(format);
    m_text.append(text);
}

void DocumentBuilder::appendText(QLatin1StringView text, const QTextCharFormat &format)
{
    if (text.isEmpty())
        return;
    continueRun(format);
    m_text.append(text);
}

void DocumentBuilder::appendImage(const QTextImageFormat &format)
{
    closeRun();
    m_runs.push_back(Run{QString(QChar::ObjectReplacementCharacter), format});
    m_hasContent = true;
}

// Text that holds no paragraph or frame marks goes straight into the document's storage,
// at its end: inserting through a cursor costs about as much again in cursor and
// notification bookkeeping. Text with such marks takes the cursor, which splits it.
void DocumentBuilder::insertRun(const Run &run)
{
    const auto structural = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QTextBeginningOfFrame
               || c == QTextEndOfFrame;
    };
    if (m_openFrames > 0 && std::any_of(run.text.begin(), run.text.end(), structural)) {
        // Inside a table still being placed the cursor cannot be used: the marks are
        // kept as line breaks.
        QString text = run.text;
        std::replace_if(text.begin(), text.end(), structural, QChar::LineSeparator);
        insertRun(Run{text, run.format});
        return;
    }
    if (std::any_of(run.text.begin(), run.text.end(), structural)) {
        m_cursor.movePosition(QTextCursor::End);
        m_cursor.insertText(run.text, run.format);
        return;
    }
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    storage->insert(storage->length() - 1, run.text, storage->formatCollection()->indexForFormat(run.format));
}

void DocumentBuilder::endParagraph(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat)
{
    placeParagraph(takeParagraph(format, list, markFormat));
}

DocumentBuilder::Paragraph DocumentBuilder::takeParagraph(const QTextBlockFormat &format, const ListItem *list,
                                                          const QTextCharFormat &markFormat)
{
    closeRun();
    m_hasContent = false;
    Paragraph paragraph{std::exchange(m_runs, {}), format, markFormat, std::nullopt};
    if (list)
        paragraph.list = *list;
    return paragraph;
}

int DocumentBuilder::formatIndex(const QTextFormat &format)
{
    return QTextDocumentPrivate::get(m_document)->formatCollection()->indexForFormat(format);
}

void DocumentBuilder::placeCellParagraph(Paragraph &&paragraph, int cellFormatIndex)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    storage->insertBlock(QTextBeginningOfFrame, storage->length() - 1, formatIndex(paragraph.format), cellFormatIndex);
    m_afterFrameEnd = false;
    placeRuns(std::move(paragraph));
}

void DocumentBuilder::placeParagraph(Paragraph &&paragraph)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    QTextFormatCollection *formats = storage->formatCollection();
    if (m_afterFrameEnd) {
        // The frame's end already started this paragraph with its format.
    } else if (m_paragraphs == 0) {
        m_cursor.setBlockFormat(paragraph.format);
        m_cursor.setBlockCharFormat(paragraph.markFormat);
    } else {
        storage->insertBlock(storage->length() - 1, formats->indexForFormat(paragraph.format),
                             formats->indexForFormat(paragraph.markFormat));
    }
    m_afterFrameEnd = false;
    placeRuns(std::move(paragraph));
}

void DocumentBuilder::placeRuns(Paragraph &&paragraph)
{
    ++m_paragraphs;
    for (const Run &run : paragraph.runs)
        insertRun(run);

    if (paragraph.list)
        m_lists.place(m_document->lastBlock(), *paragraph.list);
}

void DocumentBuilder::placeFrameEnd(const QTextCharFormat &frameFormat, const QTextBlockFormat &nextFormat)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    QTextFormatCollection *formats = storage->formatCollection();
    storage->insertBlock(QTextEndOfFrame, storage->length() - 1, formats->indexForFormat(nextFormat),
                         formats->indexForFormat(frameFormat));
    m_afterFrameEnd = true;
    m_openFrames = std::max(0, m_openFrames - 1);
    ++m_paragraphs;
}

void DocumentBuilder::finish(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat)
{
    if (m_hasContent || m_paragraphs == 0 || m_afterFrameEnd)
        endParagraph(format, list, markFormat);
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
}

}  // namespace engine::rtfin
