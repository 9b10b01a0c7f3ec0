// FastDocumentLayout: large insertions, laid out where they show first, and relayouts that change nothing.
#include "engine/view/fastdocumentlayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>
#include <climits>

namespace engine {

namespace {

constexpr int kLargeChangeChars = 20000;  // smaller changes are laid out at once
// The end of a large insertion laid out at once: more than a window shows, even of
// short lines, so that the caret after it and the lines above it are in place.
constexpr int kLaidOutEndChars = 20000;
constexpr int kUnlaidStepChars = 8000;  // laid out at a time where a drawing meets them
constexpr int kSlicesStartMs = 300;     // as after a large format change

bool isUnlaid(const QTextBlock &block)
{
    return block.isVisible() && block.layout()->lineCount() == 0;
}

}  // namespace

// A single column without pages or frames, whose paragraphs follow one another down.
bool FastDocumentLayout::isSimpleFlow() const
{
    const QTextDocument *doc = document();
    return doc->isLayoutEnabled() && doc->pageSize().width() > 0 && doc->pageSize().height() <= 0
           && doc->rootFrame()->childFrames().isEmpty() && layoutStatus() == 100;
}

void FastDocumentLayout::startSlicesSoon()
{
    if (m_sliceTimer)
        killTimer(m_sliceTimer);
    m_sliceTimer = startTimer(kSlicesStartMs);
    m_sliceTimerWaiting = true;
}

// Qt is told of the insertion with only its first character, which lays out the paragraph
// it starts in and moves everything after it (the new paragraphs have no lines yet, so
// they take no room but their spacing); then of the insertion's last paragraphs, which it lays out. The rest
// waits, as the paragraphs of a large format change do.
bool FastDocumentLayout::deferLargeInsertion(int from, int oldLength, int length)
{
    const QTextDocument *doc = document();
    const bool wholeDocument = oldLength == 0 && length == doc->characterCount();
    if (length - oldLength < kLargeChangeChars || wholeDocument || !isSimpleFlow())
        return false;
    const int end = from + length;
    const int endFrom = doc->findBlock(std::max(from, end - kLaidOutEndChars)).position();
    if (endFrom <= from + 1)
        return false;
    layOutThroughQt(from, oldLength, 1);
    const int endLength = std::min(end + 1, doc->characterCount()) - endFrom;
    layOutThroughQt(endFrom, endLength, endLength);
    m_deferred.push_back({from, endFrom});
    followEdit(from, endFrom - from, endFrom - from);  // merges the new span with those it touches
    startSlicesSoon();
    return true;
}

FastDocumentLayout::LayoutSettings FastDocumentLayout::LayoutSettings::of(const QTextDocument *document)
{
    const QTextOption option = document->defaultTextOption();
    return {document->pageSize(), document->defaultFont(), option.alignment(), option.wrapMode(), option.flags(),
            document->indentWidth()};
}

// A request to lay the whole document out anew with the paragraphs it had. Qt's view sets
// its text width again whenever its scroll bars change, which asks for that; when neither
// the text nor what its lines depend on changed since the last change, the layout stands
// as it is.
bool FastDocumentLayout::isRelayoutOfSameParagraphs(int from, int oldLength, int length) const
{
    const QTextDocument *doc = document();
    return from == 0 && oldLength == 0 && length == doc->characterCount() && doc->blockCount() == m_blockCount
           && isSimpleFlow();
}

// Paragraphs that have no lines yet stand at one height, the top of the first of them;
// where that height shows in `area` they are laid out from the first, a step at a time,
// until those left stand below the area.
void FastDocumentLayout::layOutUnlaidIn(const QRectF &area)
{
    for (QTextBlock block = firstUnlaidIn(area); block.isValid(); block = firstUnlaidIn(area)) {
        const int from = block.position();
        int to = from;
        for (; block.isValid() && isUnlaid(block) && to - from < kUnlaidStepChars; block = block.next())
            to = block.position() + block.length();
        layOutDeferredBetween(from, std::min(to, document()->characterCount()));
    }
}

// The first paragraph without lines whose top shows in `area`, or none. Tops only grow
// down the document, so each deferred span is searched from its first paragraph at or
// below the area's top.
QTextBlock FastDocumentLayout::firstUnlaidIn(const QRectF &area) const
{
    const QTextDocument *doc = document();
    const auto top = [this](const QTextBlock &block) { return blockBoundingRect(block).top(); };
    for (const Span &span : m_deferred) {
        const QTextBlock first = doc->findBlock(span.from);
        if (top(first) > area.bottom())
            break;
        int low = first.blockNumber();
        int high = doc->findBlock(span.to - 1).blockNumber();
        if (top(doc->findBlockByNumber(high)) < area.top())
            continue;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (top(doc->findBlockByNumber(middle)) < area.top())
                low = middle + 1;
            else
                high = middle;
        }
        for (QTextBlock block = doc->findBlockByNumber(low);
             block.isValid() && block.position() < span.to && top(block) <= area.bottom(); block = block.next()) {
            if (isUnlaid(block))
                return block;
        }
    }
    return {};
}

}  // namespace engine
