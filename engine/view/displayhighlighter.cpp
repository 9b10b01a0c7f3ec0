#include "engine/view/displayhighlighter.h"

#include "engine/codec/formatmapping.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>

namespace engine {

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
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        refreshBlock(block);
}

void DisplayHighlighter::refresh(int from, int removed, int added)
{
    m_overlayByFormat.clear();  // format numbers are reused once a document is cleared
    const QTextBlock last = m_document->findBlock(from + added + (removed > 0 ? 1 : 0));
    for (QTextBlock block = m_document->findBlock(from); block.isValid(); block = block.next()) {
        refreshBlock(block);
        if (block == last)
            break;
    }
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

// The paragraph's runs are read straight from the document's storage: a large change
// looks at every run of every paragraph it touched.
void DisplayHighlighter::refreshBlock(const QTextBlock &block)
{
    QList<QTextLayout::FormatRange> overlays;
    const int blockStart = block.position();
    const int textEnd = blockStart + block.length() - 1;
    const QTextDocumentPrivate::FragmentMap &fragments = QTextDocumentPrivate::get(m_document)->fragmentMap();
    uint node = fragments.findNode(blockStart);
    for (int position = node ? int(fragments.position(node)) : textEnd; node && position < textEnd;
         node = fragments.next(node)) {
        const int size = int(fragments.size(node));
        const Overlay overlay = overlayOf(fragments.fragment(node)->format);
        if (overlay != Overlay::None) {
            const int start = std::max(position, blockStart);
            overlays.append({start - blockStart, std::min(position + size, textEnd) - start,
                             overlay == Overlay::Link ? linkOverlay() : hiddenTextOverlay()});
        }
        position += size;
    }
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
