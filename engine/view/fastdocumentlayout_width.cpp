// FastDocumentLayout: a new text width, laid out where the view shows first.
#include "engine/view/fastdocumentlayout.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <climits>
#include <vector>

namespace engine {

namespace {

// Smaller documents are laid out at once at their new width, as quickly as the paragraphs
// in view alone.
constexpr int kLargeDocumentChars = 100000;

}  // namespace

// Only the width changed, the document is large and its layout complete and simple: the
// paragraphs the view shows are laid out now, all others wait with their old lines. Those
// above the view keep their places, so that the view's first line stays where it was.
bool FastDocumentLayout::deferNewWidth(const LayoutSettings &previous, int from, int oldLength, int length)
{
    LayoutSettings atNewWidth = previous;
    atNewWidth.pageSize.setWidth(m_settings.pageSize.width());
    if (atNewWidth != m_settings || previous.pageSize.width() <= 0 || !m_shownArea
        || document()->characterCount() < kLargeDocumentChars || !isRelayoutOfSameParagraphs(from, oldLength, length))
        return false;
    const bool keeping = startKeepingView();
    m_qtHasOldWidth = true;
    if (m_movedTo >= 0)
        syncPositions();  // what shows is found by the paragraphs' places
    m_deferred = {{0, document()->characterCount()}};
    layOutShownNow(m_shownArea());
    startSlicesSoon();
    emit update(QRectF(0, 0, INT_MAX, INT_MAX));
    stopKeepingView(keeping);
    return true;
}

// The paragraphs that show in `area`, laid out from the one at its top down, each below
// the one before; those after them are then moved once. Any that only Qt's layout can lay
// out are left to it.
void FastDocumentLayout::layOutShownNow(const QRectF &area)
{
    const QTextDocument *doc = document();
    const auto top = [this](int number) { return blockBoundingRect(document()->findBlockByNumber(number)).top(); };
    int low = 0;  // the last paragraph that starts at or above the area's top
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (top(middle) <= area.top())
            low = middle;
        else
            high = middle - 1;
    }
    const int from = doc->findBlockByNumber(low).position();
    layOutSliceHere(from, doc->characterCount(), area.bottom());
    if (m_movedTo > from)
        undefer(from, m_movedTo);
    syncPositions();
    layOutDeferredIn(area);
}

// Qt's layout, on its first pass at a new width, lays out every paragraph it passes, which
// takes seconds in a large document. Hidden, it passes over them, leaving their lines and
// places as they are; the pass after this one moves each to where it now belongs. Nothing
// of the hidden pass is reported: the document would seem empty for a moment.
void FastDocumentLayout::giveQtTheNewWidth()
{
    if (!std::exchange(m_qtHasOldWidth, false))
        return;
    QTextDocument *doc = document();
    if (doc->blockCount() < 2)
        return;  // the pass after this lays out the one paragraph anyway
    std::vector<QTextBlock> hidden;
    hidden.reserve(size_t(doc->blockCount()));
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.isVisible()) {
            block.setVisible(false);
            hidden.push_back(block);
        }
    }
    {
        const QSignalBlocker quiet(this);
        // Told of nothing at the start of the last paragraph, Qt clears no paragraph's lines.
        QTextDocumentLayout::documentChanged(doc->lastBlock().position(), 0, 0);
    }
    for (QTextBlock &block : hidden)
        block.setVisible(true);
}

}  // namespace engine
