#include "engine/rtfdocumentbuilder.h"

#include "engine/formatmapping.h"

#include <QTextDocument>
#include <QTextImageFormat>

namespace engine::rtfin {

namespace {
constexpr qsizetype kTextBatch = 64 * 1024;
}

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

void DocumentBuilder::openParagraph()
{
    if (m_needParagraph) {
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        m_needParagraph = false;
    }
}

void DocumentBuilder::flushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, m_textFormat);
    m_text.clear();
}

void DocumentBuilder::appendText(const QString &text, const QTextCharFormat &format)
{
    if (text.isEmpty())
        return;
    if (m_needParagraph) {
        flushText();
        openParagraph();
    }
    if (!m_text.isEmpty() && (format != m_textFormat || m_text.size() >= kTextBatch))
        flushText();
    if (m_text.isEmpty())
        m_textFormat = format;
    m_text.append(text);
    m_hasContent = true;
}

void DocumentBuilder::appendImage(const QTextImageFormat &format)
{
    flushText();
    openParagraph();
    m_cursor.insertImage(format);
    m_hasContent = true;
}

void DocumentBuilder::formatParagraph(const QTextBlockFormat &format, bool bullet,
                                      const QTextCharFormat &markFormat)
{
    m_cursor.setBlockFormat(format);
    if (!m_hasContent)
        m_cursor.setBlockCharFormat(markFormat);
    if (bullet)
        setBullets(m_cursor, true);
}

void DocumentBuilder::endParagraph(const QTextBlockFormat &format, bool bullet,
                                   const QTextCharFormat &markFormat)
{
    flushText();
    openParagraph();
    formatParagraph(format, bullet, markFormat);
    m_needParagraph = true;
    m_hasContent = false;
}

void DocumentBuilder::finish(const QTextBlockFormat &format, bool bullet, const QTextCharFormat &markFormat)
{
    flushText();
    if (!m_needParagraph)
        formatParagraph(format, bullet, markFormat);
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
}

}  // namespace engine::rtfin
