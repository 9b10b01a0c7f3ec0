#include "engine/view/displayhighlighter.h"

#include "engine/codec/formatmapping.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

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

DisplayHighlighter::Overlay DisplayHighlighter::overlayOf(const QTextFragment &fragment)
{
    auto found = m_overlayByFormat.constFind(fragment.charFormatIndex());
    if (found != m_overlayByFormat.cend())
        return *found;
    const QTextCharFormat format = fragment.charFormat();
    const Overlay overlay = isHyperlink(format) ? Overlay::Link : isHidden(format) ? Overlay::Hidden : Overlay::None;
    m_overlayByFormat.insert(fragment.charFormatIndex(), overlay);
    return overlay;
}

void DisplayHighlighter::refreshBlock(const QTextBlock &block)
{
    QList<QTextLayout::FormatRange> overlays;
    const int blockStart = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const Overlay overlay = overlayOf(fragment);
        if (overlay != Overlay::None)
            overlays.append({fragment.position() - blockStart, fragment.length(),
                             overlay == Overlay::Link ? linkOverlay() : hiddenTextOverlay()});
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
