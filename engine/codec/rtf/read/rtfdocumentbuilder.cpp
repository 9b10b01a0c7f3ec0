#include "engine/codec/rtf/read/rtfdocumentbuilder.h"

#include "engine/codec/formatmapping.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>

namespace engine::rtfin {

DocumentBuilder::DocumentBuilder(QTextDocument *document)
    : m_document(document)
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

void DocumentBuilder::endParagraph(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat)
{
    closeRun();
    if (m_paragraphs == 0) {
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(markFormat);
    } else {
        m_cursor.insertBlock(format, markFormat);
    }
    ++m_paragraphs;
    for (const Run &run : m_runs)
        m_cursor.insertText(run.text, run.format);
    m_runs.clear();
    m_hasContent = false;

    if (!bullet) {
        m_bulletList = nullptr;
    } else if (m_bulletList) {
        m_bulletList->add(m_cursor.block());
    } else {
        setBullets(m_cursor, true);
        m_bulletList = m_cursor.block().textList();
    }
}

void DocumentBuilder::finish(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat)
{
    if (m_hasContent || m_paragraphs == 0)
        endParagraph(format, bullet, markFormat);
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
}

}  // namespace engine::rtfin
