#include "engine/view/fastdocumentlayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>
#include <cmath>
#include <limits>

namespace engine {

namespace {

constexpr int kSyncDelayMs = 400;

// Qt's layout measures in 1/64 pixel; matching its rounding keeps heights identical.
qint64 fixed(qreal value)
{
    return qint64(std::lround(value * 64.0));
}

qreal real(qint64 value)
{
    return value / 64.0;
}

struct LineMetrics {
    qint64 height;      // advance to the next line
    qint64 bottom;      // bottom of this line
    qint64 adjustment;  // upward shift of the line inside its slot
};

LineMetrics lineMetrics(const QTextBlockFormat &format, const QTextLine &line)
{
    const qreal rawHeight = std::ceil(line.ascent() + line.descent() + line.leading());
    LineMetrics metrics;
    metrics.height = fixed(format.lineHeight(rawHeight, 1.0));
    metrics.bottom = fixed(format.lineHeight(line.height(), 1.0));
    metrics.adjustment = 0;
    if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
        metrics.adjustment = fixed(line.ascent() + std::max(line.leading(), qreal(0))) - (metrics.height * 4) / 5;
    else if (format.lineHeightType() == QTextBlockFormat::MinimumHeight)
        metrics.adjustment = fixed(line.height()) - metrics.height;
    return metrics;
}

qreal marginBetween(const QTextBlock &upper, const QTextBlock &lower)
{
    return std::max(lower.blockFormat().topMargin(), upper.blockFormat().bottomMargin());
}

// Where a laid-out paragraph ends, as Qt's layout advances past it.
qint64 bottomOf(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    qint64 y = fixed(layout->position().y());
    qint64 bottom = y;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const LineMetrics metrics = lineMetrics(format, layout->lineAt(i));
        bottom = y + metrics.bottom;
        y += metrics.height;
    }
    return std::max(y, bottom);
}

}  // namespace

FastDocumentLayout::FastDocumentLayout(QTextDocument *document)
    : QTextDocumentLayout(document)
{
}

void FastDocumentLayout::documentChanged(int from, int oldLength, int length)
{
    if (layoutParagraphInPlace(from, oldLength, length))
        return;
    if (m_pendingFrom >= 0 && m_pendingFrom < from) {
        // Lay out from the first paragraph laid out here, so that Qt restarts from a
        // check point that is still right.
        const int end = from + length;
        length = end - m_pendingFrom;
        oldLength = std::max(0, length - (end - from - oldLength));
        from = m_pendingFrom;
    }
    m_pendingFrom = -1;
    QTextDocumentLayout::documentChanged(from, oldLength, length);
    m_blockCount = document()->blockCount();
}

void FastDocumentLayout::syncPositions()
{
    if (m_idleTimer) {
        killTimer(m_idleTimer);
        m_idleTimer = 0;
    }
    if (m_pendingFrom < 0)
        return;
    const int from = std::min(m_pendingFrom, std::max(0, document()->characterCount() - 1));
    m_pendingFrom = -1;
    QTextDocumentLayout::documentChanged(from, 0, 0);
}

void FastDocumentLayout::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_idleTimer) {
        syncPositions();
        return;
    }
    QTextDocumentLayout::timerEvent(event);
}

bool FastDocumentLayout::layoutParagraphInPlace(int from, int oldLength, int length)
{
    QTextDocument *doc = document();
    if (doc->blockCount() != m_blockCount || doc->pageSize().width() <= 0 || doc->pageSize().height() > 0
        || !doc->rootFrame()->childFrames().isEmpty()
        || (doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators))
        return false;
    QTextBlock block = doc->findBlock(from);
    const QTextBlock next = block.next();
    if (!block.isValid() || !next.isValid() || !block.isVisible() || !next.isVisible()
        || from + std::max(length, oldLength) >= block.position() + block.length())
        return false;
    // While Qt lays a loaded document out in steps, its own layout stays in charge.
    if (layoutStatus() != 100)
        return false;
    QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0 || next.layout()->lineCount() == 0)
        return false;

    const QPointF position = layout->position();
    const qreal top = position.y();
    // A paragraph format change may move the paragraph itself (space before or after).
    const QTextBlock previous = block.previous();
    if (!previous.isValid() || previous.layout()->lineCount() == 0
        || bottomOf(previous) + fixed(marginBetween(previous, block)) != fixed(top))
        return false;
    const qint64 oldExtent = fixed(next.layout()->position().y()) - fixed(marginBetween(block, next)) - fixed(top);
    qreal newExtent = 0;
    block.clearLayout();
    layout->setPosition(position);
    if (!relayoutBlock(block, &newExtent) || fixed(newExtent) != oldExtent)
        return false;
    if (m_pendingFrom < 0 || from < m_pendingFrom)
        m_pendingFrom = block.position();
    if (m_idleTimer)
        killTimer(m_idleTimer);
    m_idleTimer = startTimer(kSyncDelayMs);
    emit update(QRectF(0, top, std::numeric_limits<int>::max(), newExtent));
    return true;
}

// Line breaking as Qt's layout does it for a paragraph of the root frame, without
// floats or pages.
bool FastDocumentLayout::relayoutBlock(const QTextBlock &block, qreal *extent)
{
    QTextDocument *doc = document();
    const QTextBlockFormat format = block.blockFormat();
    if (block.textDirection() != Qt::LeftToRight)
        return false;
    const QTextFrameFormat frameFormat = doc->rootFrame()->frameFormat();
    QTextLayout *layout = block.layout();
    const qint64 xLeft = fixed(layout->position().x());
    const qint64 xRight = fixed(doc->pageSize().width()) - fixed(frameFormat.rightMargin())
                          - fixed(frameFormat.border()) - fixed(frameFormat.padding());

    qreal indentSteps = format.indent();
    if (const QTextList *list = block.textList())
        indentSteps += list->format().indent();
    const qint64 indent = qFuzzyIsNull(indentSteps) ? 0 : fixed(indentSteps * doc->indentWidth());
    const qint64 left = xLeft + fixed(format.leftMargin()) + indent;
    const qint64 right = xRight - fixed(format.rightMargin());
    if (right <= left)
        return false;

    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    option.setTabs(format.tabPositions());
    Qt::Alignment align = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        align = format.alignment();
    if (!(align & Qt::AlignHorizontal_Mask))
        align |= Qt::AlignLeft;
    if (align & (Qt::AlignLeft | Qt::AlignRight))
        align |= Qt::AlignAbsolute;
    option.setAlignment(align);
    if (format.nonBreakableLines())
        option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const qint64 top = fixed(layout->position().y());
    qint64 y = top;
    qint64 bottom = 0;
    bool widthFits = true;
    layout->beginLayout();
    for (bool first = true;; first = false) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        const qint64 lineLeft = left + (first ? fixed(format.textIndent()) : 0);
        const qint64 width = right - lineLeft;
        line.setLineWidth(real(width));
        if (fixed(line.naturalTextWidth()) > width) {
            line.setLineWidth(real(width));
            if (fixed(line.naturalTextWidth()) > width) {
                if (wordOrAnywhere) {
                    option.setWrapMode(QTextOption::WrapAnywhere);
                    layout->setTextOption(option);
                }
                line.setLineWidth(std::max(line.naturalTextWidth(), real(width)));
                if (wordOrAnywhere) {
                    option.setWrapMode(QTextOption::WordWrap);
                    layout->setTextOption(option);
                }
            }
        }
        const LineMetrics metrics = lineMetrics(format, line);
        line.setPosition(QPointF(real(lineLeft - xLeft), real(y - top - metrics.adjustment)));
        bottom = y + metrics.bottom;
        y += metrics.height;
        if (fixed(line.x() + line.naturalTextWidth()) + fixed(format.rightMargin()) > xRight - xLeft)
            widthFits = false;
    }
    layout->endLayout();
    *extent = real(std::max(y, bottom) - top);
    return widthFits;
}

}  // namespace engine
