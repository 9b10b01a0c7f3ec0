#include "engine/view/fastdocumentlayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>
#include <cmath>
#include <limits>
#include <utility>

namespace engine {

namespace {

constexpr int kSyncDelayMs = 400;
// Qt's layout, after a change, goes on in the background past a check point set this far
// below the last one and this many characters past where it had got.
constexpr qreal kCheckPointSpacing = 2000;
constexpr int kStepAfterChange = 1000;

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
    // While the layout is switched off (a load) what changed is not known here.
    const bool textChanged = !document()->isLayoutEnabled()
                             || std::exchange(m_revision, document()->revision()) != document()->revision();
    const LayoutSettings previous = std::exchange(m_settings, LayoutSettings::of(document()));
    const bool settingsChanged = previous != m_settings;
    if (!textChanged && !settingsChanged && isRelayoutOfSameParagraphs(from, oldLength, length))
        return;
    if (!textChanged && settingsChanged && deferNewWidth(previous, from, oldLength, length))
        return;
    followEdit(from, oldLength, length);
    const std::vector<int> expected = std::exchange(m_expectedEdits, {});
    if (!expected.empty() && layoutEditedParagraphsInPlace(expected))
        return;
    if (layoutParagraphInPlace(from, oldLength, length))
        return;
    if (deferLargeChange(from, oldLength, length) || deferLargeInsertion(from, oldLength, length))
        return;
    layOutThroughQt(from, oldLength, length);
}

void FastDocumentLayout::layOutThroughQt(int from, int oldLength, int length)
{
    if (m_movedTo >= 0)
        syncPositions();  // Qt restarts from check points that must be right
    if (m_pendingFrom >= 0 && m_pendingFrom < from) {
        // Lay out from the first paragraph laid out here, so that Qt restarts from a
        // check point that is still right.
        const int end = from + length;
        length = end - m_pendingFrom;
        oldLength = std::max(0, length - (end - from - oldLength));
        from = m_pendingFrom;
    }
    m_pendingFrom = -1;
    if (oldLength != 0 || length != document()->characterCount())
        keepQtLayoutInBackground();
    // Counted first: Qt's layout may resize the view, which changes the width again.
    m_blockCount = document()->blockCount();
    layOutThroughQtNow(from, oldLength, length);
}

void FastDocumentLayout::layOutThroughQtNow(int from, int oldLength, int length)
{
    giveQtTheNewWidth();
    QTextDocumentLayout::documentChanged(from, oldLength, length);
}

// Qt's layout, while it lays a document out in the background, ends that work when told
// of a change before where it has got: the paragraphs it has not reached keep no lines,
// take no room, and the document looks cut short. It goes on in the background only if it
// sets a check point past where it had got, which takes text that has lines. So the
// paragraphs just past that point are laid out here first, as Qt would lay them out.
void FastDocumentLayout::keepQtLayoutInBackground()
{
    if (layoutStatus() == 100)
        return;
    const QTextDocument *doc = document();
    const int reached = firstNotLaidOutByQt(0, doc->characterCount());
    qreal height = 0;
    qreal heightPastStep = 0;
    for (QTextBlock block = doc->findBlock(reached); block.isValid() && block != doc->lastBlock();
         block = block.next()) {
        if (height > 2 * kCheckPointSpacing && heightPastStep > kCheckPointSpacing)
            break;
        qreal extent = 0;
        bool fitsWidth = true;
        if (block.layout()->lineCount() == 0 && !relayoutBlock(block, &extent, &fitsWidth)) {
            block.layout()->clearLayout();
            return;
        }
        extent = block.layout()->boundingRect().height();
        height += extent;
        if (block.position() > reached + kStepAfterChange)
            heightPastStep += extent;
    }
}

void FastDocumentLayout::syncPositions()
{
    if (m_idleTimer) {
        killTimer(m_idleTimer);
        m_idleTimer = 0;
    }
    // Paragraphs laid out in the background move: a view keeps its place.
    const bool keeping = std::exchange(m_movedTo, -1) >= 0 && startKeepingView();
    if (m_pendingFrom >= 0) {
        const int from = std::min(m_pendingFrom, std::max(0, document()->characterCount() - 1));
        m_pendingFrom = -1;
        keepQtLayoutInBackground();
        // Told of one character, Qt lays that paragraph out and moves the rest; told of
        // none at the very start, it would clear the first paragraph and lay nothing out.
        layOutThroughQtNow(from, 1, 1);
    }
    stopKeepingView(keeping);
}

void FastDocumentLayout::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_idleTimer) {
        syncPositions();
        return;
    }
    if (event->timerId() == m_sliceTimer) {
        layOutDeferredSlice();
        return;
    }
    QTextDocumentLayout::timerEvent(event);
}

// The paragraphs can be laid out one by one: no paragraph came or went, the text runs
// in one column without pages or frames, and Qt's own layout is complete.
bool FastDocumentLayout::canLayoutInPlace() const
{
    const QTextDocument *doc = document();
    return doc->blockCount() == m_blockCount && doc->pageSize().width() > 0 && doc->pageSize().height() <= 0
           && doc->rootFrame()->childFrames().isEmpty()
           && !(doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
           && layoutStatus() == 100;
}

void FastDocumentLayout::markLaidOutHere(int from)
{
    if (m_pendingFrom < 0 || from < m_pendingFrom)
        m_pendingFrom = from;
    if (m_idleTimer)
        killTimer(m_idleTimer);
    m_idleTimer = startTimer(kSyncDelayMs);
}

// Lays a paragraph out again where it stands; false when it would take another height,
// or does not stand where the paragraph before it ends (a paragraph format change may
// have moved it), and Qt must move what follows. The first paragraph qualifies only when
// the caller knows that its format did not change.
bool FastDocumentLayout::relayoutKeepingHeight(QTextBlock block, bool mayBeFirst, qreal *top,
                                               qreal *extent)
{
    QTextLayout *layout = block.layout();
    if (!block.isVisible() || layout->lineCount() == 0)
        return false;
    const QPointF position = layout->position();
    const QTextBlock previous = block.previous();
    if (previous.isValid()) {
        if (previous.layout()->lineCount() == 0
            || bottomOf(previous) + fixed(marginBetween(previous, block)) != fixed(position.y()))
            return false;
    } else if (!mayBeFirst) {
        return false;
    }
    const QTextBlock next = block.next();
    const bool nextLaidOut = next.isValid() && next.isVisible() && next.layout()->lineCount() > 0;
    if (next.isValid() && !nextLaidOut)
        return false;
    const qint64 oldExtent = nextLaidOut ? fixed(next.layout()->position().y()) - fixed(marginBetween(block, next))
                                               - fixed(position.y())
                                         : bottomOf(block) - fixed(position.y());
    block.clearLayout();
    layout->setPosition(position);
    if (!relayoutBlock(block, extent) || fixed(*extent) != oldExtent)
        return false;
    *top = position.y();
    return true;
}

bool FastDocumentLayout::layoutEditedParagraphsInPlace(const std::vector<int> &blockNumbers)
{
    if (!canLayoutInPlace())
        return false;
    const QTextDocument *doc = document();
    qreal top = -1;
    qreal bottom = 0;
    int firstPosition = -1;
    for (const int number : blockNumbers) {
        const QTextBlock block = doc->findBlockByNumber(number);
        qreal blockTop = 0;
        qreal extent = 0;
        if (!block.isValid() || !relayoutKeepingHeight(block, true, &blockTop, &extent))
            return false;
        if (firstPosition < 0 || block.position() < firstPosition)
            firstPosition = block.position();
        top = top < 0 ? blockTop : std::min(top, blockTop);
        bottom = std::max(bottom, blockTop + extent);
    }
    if (firstPosition < 0)
        return false;
    markLaidOutHere(firstPosition);
    emit update(QRectF(0, top, std::numeric_limits<int>::max(), bottom - top));
    return true;
}

bool FastDocumentLayout::layoutParagraphInPlace(int from, int oldLength, int length)
{
    if (!canLayoutInPlace())
        return false;
    const QTextBlock block = document()->findBlock(from);
    if (!block.isValid() || !block.next().isValid()
        || from + std::max(length, oldLength) >= block.position() + block.length())
        return false;
    qreal top = 0;
    qreal extent = 0;
    if (!relayoutKeepingHeight(block, false, &top, &extent))
        return false;
    markLaidOutHere(block.position());
    emit update(QRectF(0, top, std::numeric_limits<int>::max(), extent));
    return true;
}

// Lays out the paragraphs of [from, to), each placed where Qt's layout would place it
// below the one before, and leaves the paragraphs after them in their old places; it stops
// at a paragraph that would start below `bottom`. False when a paragraph needs Qt's
// layout; those before it are then laid out and placed.
bool FastDocumentLayout::layOutSliceHere(int from, int to, qreal bottom)
{
    if (!canLayoutInPlace())
        return false;
    if (m_movedTo >= 0 && m_movedTo != from)
        syncPositions();  // the paragraphs between would stand in the wrong places
    QTextBlock block = document()->findBlock(from);
    QTextBlock previous = block.previous();
    if (previous.isValid() && (!previous.isVisible() || previous.layout()->lineCount() == 0))
        return false;
    qreal top = -1;
    qreal end = 0;
    for (; block.isValid() && block.position() < to; block = block.next()) {
        QTextLayout *layout = block.layout();
        if (!block.isVisible())
            break;
        qreal y = layout->position().y();
        if (previous.isValid())
            y = real(bottomOf(previous) + fixed(marginBetween(previous, block)));
        if (y > bottom) {
            to = block.position();  // the paragraphs above `bottom` are all laid out
            break;
        }
        const qreal x = layout->position().x();
        block.clearLayout();
        layout->setPosition(QPointF(x, y));
        qreal extent = 0;
        bool fitsWidth = true;  // a line wider than the page widens the document when synced
        if (!relayoutBlock(block, &extent, &fitsWidth))
            break;
        if (top < 0)
            top = y;
        end = y + extent;
        if (m_pendingFrom < 0 || block.position() < m_pendingFrom)
            m_pendingFrom = block.position();
        m_movedTo = block.position() + block.length();
        previous = block;
    }
    if (top >= 0)
        emit update(QRectF(0, top, std::numeric_limits<int>::max(), end - top));
    return !block.isValid() || block.position() >= to;
}

void FastDocumentLayout::giveLinesAhead(const QTextBlock &block)
{
    if (!block.isValid() || block.layout()->lineCount() > 0 || layoutStatus() == 100)
        return;
    qreal extent = 0;
    bool fitsWidth = true;
    if (!relayoutBlock(block, &extent, &fitsWidth))
        block.layout()->clearLayout();
}

// Whether `area` reaches the paragraphs laid out by slices, in their new places or in the
// old places of those after them: Qt's check points, by which it finds what to draw or
// hit, are not yet moved along.
bool FastDocumentLayout::reachesMovedParagraphs(const QRectF &area) const
{
    if (m_movedTo < 0)
        return false;
    const QTextDocument *doc = document();
    const QTextBlock first = doc->findBlock(m_pendingFrom);
    const QTextBlock last = doc->findBlock(m_movedTo - 1);
    const QTextBlock after = last.next();
    qreal bottom = real(bottomOf(last));
    if (after.isValid())
        bottom = std::max(bottom, after.layout()->position().y());
    return first.isValid() && area.bottom() >= first.layout()->position().y() && area.top() <= bottom;
}

// Line breaking as Qt's layout does it for a paragraph of the root frame, without
// floats or pages. False when it cannot; without `fitsWidth`, also when a line is wider
// than the page, which would widen the document.
bool FastDocumentLayout::relayoutBlock(const QTextBlock &block, qreal *extent, bool *fitsWidth)
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
    if (fitsWidth)
        *fitsWidth = widthFits;
    return widthFits || fitsWidth;
}

}  // namespace engine
