#include "engine/codec/rtf/read/rtfdocumentbuilder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>

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
    closeRun();
    if (m_paragraphs == 0) {
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(markFormat);
    } else {
        QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
        QTextFormatCollection *formats = storage->formatCollection();
        storage->insertBlock(storage->length() - 1, formats->indexForFormat(format), formats->indexForFormat(markFormat));
    }
    ++m_paragraphs;
    for (const Run &run : m_runs)
        insertRun(run);
    m_runs.clear();
    m_hasContent = false;

    if (list)
        m_lists.place(m_document->lastBlock(), *list);
}

void DocumentBuilder::finish(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat)
{
    if (m_hasContent || m_paragraphs == 0)
        endParagraph(format, list, markFormat);
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
}

}  // namespace engine::rtfin
