// FastDocumentLayout: paragraphs whose layout is deferred after a large format change.
#include "engine/view/fastdocumentlayout.h"

#include "engine/codec/listmarkers.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <climits>
#include <utility>

namespace engine {

namespace {

constexpr int kDeferredChars = 20000;  // smaller changes are laid out at once
// A slice costs what it lays out (the paragraphs after it are moved once, at the end), so
// slices can be short enough not to hold up typing.
constexpr int kSliceMs = 30;           // the background lays out this long at a time
constexpr int kSliceIntervalMs = 5;    // and lets the program answer in between
// The first slice waits until the change has been shown and the user has had a moment
// to go on: a slice holds up whatever is typed or clicked while it runs.
constexpr int kFirstSliceDelayMs = 300;
constexpr int kMinSliceChars = 5000;
constexpr int kMaxSliceChars = 2000000;

}  // namespace

// Only changes that keep the text (formats) and a layout without pages or frames, whose
// paragraphs follow one another down the page, are deferred.
bool FastDocumentLayout::deferLargeChange(int from, int oldLength, int length)
{
    QTextDocument *doc = document();
    if (oldLength != length || length < kDeferredChars || doc->pageSize().width() <= 0
        || doc->pageSize().height() > 0 || !doc->rootFrame()->childFrames().isEmpty())
        return false;
    // Qt's own layout, while under way, lays out the paragraphs it has not reached yet.
    const int to = layoutStatus() < 100 ? firstNotLaidOutByQt(from, from + length) : from + length;
    if (to > from) {
        m_deferred.push_back({from, to});
        followEdit(from, to - from, to - from);  // merges the new span with those it touches
    }
    m_blockCount = doc->blockCount();
    if (m_sliceTimer)
        killTimer(m_sliceTimer);
    m_sliceTimer = startTimer(kFirstSliceDelayMs);
    m_sliceTimerWaiting = true;
    emit update(QRectF(0, 0, INT_MAX, INT_MAX));
    return true;
}

// Where in [from, to) the paragraphs start that Qt's layout, under way, has not reached:
// they have no lines yet (the last paragraph may have some to hold a cursor).
int FastDocumentLayout::firstNotLaidOutByQt(int from, int to) const
{
    const QTextDocument *doc = document();
    const int lastNumber = doc->blockCount() - 1;
    const auto notReached = [&](int number) {
        return number == lastNumber || doc->findBlockByNumber(number).layout()->lineCount() == 0;
    };
    int low = doc->findBlock(from).blockNumber();
    int high = doc->findBlock(to - 1).blockNumber() + 1;  // past the range: not reached
    while (low < high) {
        const int middle = (low + high) / 2;
        if (notReached(middle))
            high = middle;
        else
            low = middle + 1;
    }
    const QTextBlock first = doc->findBlockByNumber(low);
    return first.isValid() ? std::clamp(first.position(), from, to) : to;
}

// Keeps the deferred spans on their text through an edit: spans after it move, spans it
// touches grow to cover what it changed. A whole new document is laid out anew.
void FastDocumentLayout::followEdit(int from, int oldLength, int length)
{
    if (m_deferred.empty())
        return;
    const int documentEnd = document()->characterCount();
    if (oldLength == 0 && length == documentEnd) {
        m_deferred.clear();
        return;
    }
    const int delta = length - oldLength;
    // A span grows over the edit, but not past where Qt's layout, under way, has got: Qt
    // lays out the rest itself, and asking where a paragraph it has not reached stands
    // makes it lay out everything before it.
    const int reached = layoutStatus() < 100 ? firstNotLaidOutByQt(0, documentEnd) : documentEnd;
    for (Span &span : m_deferred) {
        if (span.to <= from)
            continue;
        if (span.from >= from + oldLength) {
            span.from += delta;
            span.to += delta;
            continue;
        }
        span.from = std::min(span.from, from);
        span.to = std::max(span.to + delta, std::min(from + length, reached));
    }
    std::sort(m_deferred.begin(), m_deferred.end(), [](const Span &a, const Span &b) { return a.from < b.from; });
    std::vector<Span> merged;
    for (Span span : m_deferred) {
        span.from = std::clamp(span.from, 0, documentEnd);
        span.to = std::clamp(span.to, 0, documentEnd);
        if (span.from >= span.to)
            continue;
        if (!merged.empty() && span.from <= merged.back().to)
            merged.back().to = std::max(merged.back().to, span.to);
        else
            merged.push_back(span);
    }
    m_deferred = std::move(merged);
}

void FastDocumentLayout::undefer(int from, int to)
{
    std::vector<Span> rest;
    for (const Span &span : m_deferred) {
        if (span.to <= from || span.from >= to) {
            rest.push_back(span);
            continue;
        }
        if (span.from < from)
            rest.push_back({span.from, from});
        if (span.to > to)
            rest.push_back({to, span.to});
    }
    m_deferred = std::move(rest);
    if (m_deferred.empty() && m_sliceTimer) {
        killTimer(m_sliceTimer);
        m_sliceTimer = 0;
        m_sliceTimerWaiting = false;
    }
}

void FastDocumentLayout::layOutDeferredBetween(int from, int to)
{
    undefer(from, to);
    layOutThroughQt(from, to - from, to - from);
}

void FastDocumentLayout::layOutDeferredParagraphs()
{
    while (!m_deferred.empty())
        layOutDeferredHere(m_deferred.front().from, m_deferred.front().to);
}

// Lays out deferred paragraphs without moving those after them, where it can; they are
// moved once the paragraph after the last one laid out is not deferred.
void FastDocumentLayout::layOutDeferredHere(int from, int to)
{
    undefer(from, to);
    if (!layOutSliceHere(from, to)) {
        const int rest = std::max(from, m_movedTo);
        layOutThroughQt(rest, to - rest, to - rest);
    }
    if (m_movedTo >= 0 && (m_deferred.empty() || m_deferred.front().from != m_movedTo))
        syncPositions();
}

// Lays out the deferred paragraphs that show in `area`, one stretch at a time: each
// stretch laid out may move the paragraphs after it. False when none showed.
bool FastDocumentLayout::layOutDeferredIn(const QRectF &area)
{
    QTextDocument *doc = document();
    bool laidOut = false;
    const auto top = [this](const QTextBlock &block) { return blockBoundingRect(block).top(); };
    for (bool found = true; found;) {
        found = false;
        for (const Span &span : m_deferred) {
            const QTextBlock first = doc->findBlock(span.from);
            const QTextBlock last = doc->findBlock(span.to - 1);
            if (top(first) > area.bottom())
                break;
            if (blockBoundingRect(last).bottom() < area.top())
                continue;
            // The last paragraph of the span that starts at or above the area's top.
            int low = first.blockNumber();
            int high = last.blockNumber();
            while (low < high) {
                const int middle = (low + high + 1) / 2;
                if (top(doc->findBlockByNumber(middle)) <= area.top())
                    low = middle;
                else
                    high = middle - 1;
            }
            QTextBlock block = doc->findBlockByNumber(low);
            const int from = std::max(span.from, block.position());
            int to = from;
            for (; block.isValid() && block.position() < span.to && top(block) <= area.bottom(); block = block.next())
                to = std::min(span.to, block.position() + block.length());
            if (to > from) {
                layOutDeferredBetween(from, to);
                found = true;
                laidOut = true;
                break;
            }
        }
    }
    return laidOut;
}

// A view brought to a deferred paragraph (Ctrl+End, Page Down, a search) places itself by
// the paragraph's lines before it draws: the paragraphs a view's height around it are laid
// out first, so that drawing them does not move it out of view.
bool FastDocumentLayout::layOutDeferredAround(int position, qreal height)
{
    const auto holds = [position](const Span &span) { return span.from <= position && position < span.to; };
    if (std::none_of(m_deferred.begin(), m_deferred.end(), holds))
        return false;
    const auto around = [&] {
        const QRectF bounds = blockBoundingRect(document()->findBlock(position));
        return QRectF(0, bounds.top() - height, INT_MAX, bounds.height() + 2 * height);
    };
    const bool keeping = startKeepingView();
    while (layOutDeferredIn(around())) {
    }
    stopKeepingView(keeping);
    return true;
}

bool FastDocumentLayout::startKeepingView()
{
    if (m_keepingView || m_drawing)
        return false;
    m_keepingView = true;
    emit aboutToLayOutDeferred();
    return true;
}

void FastDocumentLayout::stopKeepingView(bool started)
{
    if (!started)
        return;
    m_keepingView = false;
    emit deferredLaidOut();
}

void FastDocumentLayout::layOutDeferredSlice()
{
    if (m_deferred.empty()) {
        killTimer(m_sliceTimer);
        m_sliceTimer = 0;
        m_sliceTimerWaiting = false;
        return;
    }
    if (std::exchange(m_sliceTimerWaiting, false)) {
        killTimer(m_sliceTimer);
        m_sliceTimer = startTimer(kSliceIntervalMs);
    }
    if (layoutStatus() != 100)
        return;  // Qt's own lazy layout goes first
    const Span first = m_deferred.front();
    const QTextBlock last = document()->findBlock(std::min(first.to, first.from + m_sliceChars) - 1);
    const int to = std::min(first.to, last.position() + last.length());
    QElapsedTimer timer;
    timer.start();
    const bool keeping = startKeepingView();
    layOutDeferredHere(first.from, to);
    // Paragraphs that grew reach into the view: they are moved now, while the view keeps
    // its place, rather than when it draws them.
    if (m_movedTo >= 0 && m_shownArea && reachesMovedParagraphs(m_shownArea()))
        syncPositions();
    stopKeepingView(keeping);
    const qint64 elapsed = std::max<qint64>(1, timer.elapsed());
    m_sliceChars = int(std::clamp<qint64>(qint64(m_sliceChars) * kSliceMs / elapsed, kMinSliceChars, kMaxSliceChars));
}

void FastDocumentLayout::draw(QPainter *painter, const PaintContext &context)
{
    const QScopedValueRollback drawing(m_drawing, true);
    if (m_movedTo >= 0 && (!context.clip.isValid() || reachesMovedParagraphs(context.clip)))
        syncPositions();
    // Deferred paragraphs are all laid out by Qt already, so finding those in view lays
    // out nothing more of what Qt has yet to reach; those a long insertion left without
    // lines are laid out from the first of them.
    if (!m_deferred.empty()) {
        if (context.clip.isValid()) {
            if (layoutStatus() == 100)
                layOutUnlaidIn(context.clip);
            layOutDeferredIn(context.clip);
        } else {
            layOutDeferredParagraphs();
        }
    }
    QTextDocumentLayout::draw(painter, context);
    drawListMarkers(painter, document(), context.clip, context.palette.color(QPalette::Text));
}

}  // namespace engine
