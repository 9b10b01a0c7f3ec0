#include "engine/view/displayhighlighter.h"

#include "engine/codec/formatmapping.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>

namespace engine {

namespace {

constexpr int kManyParagraphs = 1000;  // changes over fewer paragraphs just look at them

}  // namespace

DisplayHighlighter::DisplayHighlighter(QTextDocument *document)
    : QObject(document)
    , m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this, &DisplayHighlighter::refresh);
}

void DisplayHighlighter::setDetectUrls(bool on)
{
    if (m_detectUrls == on)
        return;
    m_detectUrls = on;
    m_overlayByFormat.clear();
    refreshBlocks(m_document->begin(), m_document->lastBlock());
}

void DisplayHighlighter::refresh(int from, int removed, int added)
{
    if (m_overlaysKept)
        return;
    m_overlayByFormat.clear();  // format numbers are reused once a document is cleared
    const QTextBlock first = m_document->findBlock(from);
    const QTextBlock last = m_document->findBlock(from + added + (removed > 0 ? 1 : 0));
    if (last.blockNumber() - first.blockNumber() >= kManyParagraphs && !mayOverlay())
        return;
    refreshBlocks(first, last);
}

// Whether any paragraph may have or need an overlay. The document's formats only grow
// until it is cleared, which drops every paragraph, and switching URL detection off
// looks at every paragraph again: so while no format is a link or hidden and no URL is
// detected, no paragraph has an overlay, and a change over many paragraphs need not look
// at their runs.
bool DisplayHighlighter::mayOverlay()
{
    if (m_detectUrls)
        return true;
    const QTextFormatCollection *formats = QTextDocumentPrivate::get(m_document)->formatCollection();
    for (int index = 0; index < formats->numFormats(); ++index) {
        if (formats->format(index).isCharFormat() && overlayOf(index) != Overlay::None)
            return true;
    }
    return false;
}

DisplayHighlighter::Overlay DisplayHighlighter::overlayOf(int formatIndex)
{
    if (formatIndex < 0)
        return Overlay::None;
    if (size_t(formatIndex) >= m_overlayByFormat.size())
        m_overlayByFormat.resize(size_t(formatIndex) + 1, Overlay::Unknown);
    Overlay &overlay = m_overlayByFormat[size_t(formatIndex)];
    if (overlay == Overlay::Unknown) {
        const QTextCharFormat format = QTextDocumentPrivate::get(m_document)->formatCollection()->charFormat(formatIndex);
        overlay = isHyperlink(format) ? Overlay::Link : isHidden(format) ? Overlay::Hidden : Overlay::None;
    }
    return overlay;
}

// One walk over the runs of the paragraphs from `block` to `last`, read straight from the
// document's storage: a large change looks at every run of every paragraph it touched.
void DisplayHighlighter::refreshBlocks(QTextBlock block, const QTextBlock &last)
{
    if (!block.isValid())
        return;
    const QTextDocumentPrivate::FragmentMap &fragments = QTextDocumentPrivate::get(m_document)->fragmentMap();
    int blockStart = block.position();
    uint node = fragments.findNode(blockStart);
    int position = node ? int(fragments.position(node)) : 0;
    for (;;) {
        const int textEnd = blockStart + block.length() - 1;  // the paragraph end is no text
        QList<QTextLayout::FormatRange> overlays;
        while (node && position < textEnd) {
            const int size = int(fragments.size(node));
            const Overlay overlay = overlayOf(fragments.fragment(node)->format);
            if (overlay != Overlay::None) {
                const int start = std::max(position, blockStart);
                overlays.append({start - blockStart, std::min(position + size, textEnd) - start,
                                 overlay == Overlay::Link ? linkOverlay() : hiddenTextOverlay()});
            }
            if (position + size > textEnd + 1)
                break;  // the run goes on into the next paragraph
            position += size;
            node = fragments.next(node);
        }
        if (node && position >= textEnd && position + int(fragments.size(node)) <= textEnd + 1) {
            position += int(fragments.size(node));  // past the paragraph end
            node = fragments.next(node);
        }
        applyOverlays(block, std::move(overlays));
        if (block == last)
            break;
        block = block.next();
        if (!block.isValid())
            break;
        blockStart = textEnd + 1;
    }
}

void DisplayHighlighter::applyOverlays(const QTextBlock &block, QList<QTextLayout::FormatRange> overlays)
{
    if (m_detectUrls) {
        for (const TextSpan &url : findUrls(block.text()))
            overlays.append({url.start, url.length, linkOverlay()});
    }
    QTextLayout *layout = block.layout();
    if (overlays == layout->formats())
        return;
    layout->setFormats(overlays);
    m_document->markContentsDirty(block.position(), block.length());
}

}  // namespace engine
