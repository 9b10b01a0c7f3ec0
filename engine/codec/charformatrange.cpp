#include "engine/codec/charformatrange.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/storagechange.h"

#include <QAbstractUndoItem>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextengine_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>
#include <vector>

namespace engine {

namespace {

using FragmentMap = QTextDocumentPrivate::FragmentMap;

struct FormatSwap {
    int position;
    int length;
    int before;  // format indexes
    int after;
};

bool isParagraphEnd(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QTextBeginningOfFrame || c == QTextEndOfFrame;
}

// Puts each swap's `before` (undo) or `after` (redo) format back. The fragments normally
// still lie as they were left; where later edits split or joined them, the document's
// own format change does the splitting.
void replay(QTextDocument *document, const std::vector<FormatSwap> &swaps, bool undo)
{
    if (swaps.empty())
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    FragmentMap &fragments = storage->fragmentMap();
    // The walk keeps the position of `node` as it goes: asking the map for it costs a
    // climb of the tree each time.
    uint node = fragments.findNode(swaps.front().position);
    int position = node ? int(fragments.position(node)) : 0;
    for (const FormatSwap &swap : swaps) {
        while (node && position + int(fragments.size(node)) <= swap.position) {
            position += int(fragments.size(node));
            node = fragments.next(node);
        }
        const int wanted = undo ? swap.before : swap.after;
        const int found = undo ? swap.after : swap.before;
        if (node && position == swap.position && int(fragments.size(node)) == swap.length
            && fragments.fragment(node)->format == found) {
            fragments.fragment(node)->format = wanted;
        } else {
            storage->setCharFormat(swap.position, swap.length, storage->formatCollection()->charFormat(wanted));
            node = fragments.findNode(swap.position);
            position = node ? int(fragments.position(node)) : 0;
        }
    }
    const FormatSwap &last = swaps.back();
    announceFormatChange(storage, swaps.front().position, last.position + last.length);
}

class FormatSwapUndo : public QAbstractUndoItem {
public:
    FormatSwapUndo(QTextDocument *document, std::vector<FormatSwap> swaps)
        : m_document(document)
        , m_swaps(std::move(swaps))
    {
    }
    void undo() override { replay(m_document, m_swaps, true); }
    void redo() override { replay(m_document, m_swaps, false); }

private:
    QTextDocument *m_document;
    std::vector<FormatSwap> m_swaps;
};

// The format a stretch of text takes: its own with the masked fields applied. Stretches
// share few formats, so each format is mapped once; the map is a table by format number,
// as a run is looked up for every stretch of a large document.
class FormatMapper {
public:
    FormatMapper(QTextFormatCollection *formats, const CharFormat &format)
        : m_formats(formats)
        , m_format(format)
        , m_changed(size_t(formats->numFormats()), -1)
    {
    }
    int operator()(int index)
    {
        if (index < 0)
            return index;
        if (size_t(index) >= m_changed.size())
            m_changed.resize(size_t(index) + 1, -1);
        if (m_changed[size_t(index)] < 0) {
            QTextCharFormat changed = m_formats->charFormat(index);
            applyCharFormat(m_format, changed);
            const int mapped = m_formats->indexForFormat(changed);
            m_changed[size_t(index)] = mapped;
        }
        return m_changed[size_t(index)];
    }

private:
    QTextFormatCollection *m_formats;
    const CharFormat &m_format;
    std::vector<int> m_changed;
};

// Changes [from, to) inside one fragment through the document, which splits it there.
void applyToPartOfFragment(QTextDocumentPrivate *storage, int from, int to, FormatMapper &map)
{
    const int index = storage->fragmentMap().fragment(storage->fragmentMap().findNode(from))->format;
    storage->setCharFormat(from, to - from, storage->formatCollection()->charFormat(map(index)));
}

void swapFormat(FragmentMap &fragments, uint node, int position, FormatMapper &map, std::vector<FormatSwap> &swaps)
{
    QTextFragmentData *fragment = fragments.fragment(node);
    const int changed = map(fragment->format);
    if (changed == fragment->format)
        return;
    swaps.push_back({position, int(fragments.size(node)), fragment->format, changed});
    fragment->format = changed;
}

}  // namespace

void applyCharFormatToRange(QTextDocument *document, int start, int end, const CharFormat &format)
{
    if (start >= end)
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    FragmentMap &fragments = storage->fragmentMap();
    const QString text = storage->buffer();
    const auto isParagraphEndAt = [&](uint node) {
        return isParagraphEnd(text.at(fragments.fragment(node)->stringPosition));
    };
    FormatMapper map(storage->formatCollection(), format);

    // Fragments that stick out of the range are split first; mapping a format again
    // changes nothing, so the loop below passes over the parts done here.
    const uint first = fragments.findNode(start);
    const int firstEnd = int(fragments.position(first) + fragments.size(first));
    bool rangeDone = false;
    if (int(fragments.position(first)) < start && !isParagraphEndAt(first)) {
        applyToPartOfFragment(storage, start, std::min(end, firstEnd), map);
        rangeDone = firstEnd >= end;
    }
    const uint last = fragments.findNode(end - 1);
    if (!rangeDone && int(fragments.position(last) + fragments.size(last)) > end && !isParagraphEndAt(last))
        applyToPartOfFragment(storage, std::max(start, int(fragments.position(last))), end, map);

    std::vector<FormatSwap> swaps;
    uint node = fragments.findNode(start);
    for (int position = int(fragments.position(node)); node && position < end; node = fragments.next(node)) {
        const int from = position;
        position += int(fragments.size(node));
        if (from >= start && position <= end && !isParagraphEndAt(node))
            swapFormat(fragments, node, from, map, swaps);
    }
    // The paragraph end before an empty paragraph carries the format typed there; the
    // first paragraph's lies outside the text and goes through the document.
    const size_t textSwaps = swaps.size();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        if (block.length() != 1 || block.position() < start)
            continue;
        if (block.position() == 0) {
            QTextCursor paragraph(block);
            QTextCharFormat merged = paragraph.blockCharFormat();
            applyCharFormat(format, merged);
            paragraph.setBlockCharFormat(merged);
            continue;
        }
        swapFormat(fragments, fragments.findNode(block.position() - 1), block.position() - 1, map, swaps);
    }
    if (swaps.empty())
        return;
    std::inplace_merge(swaps.begin(), swaps.begin() + qsizetype(textSwaps), swaps.end(),
                       [](const FormatSwap &a, const FormatSwap &b) { return a.position < b.position; });
    announceFormatChange(storage, swaps.front().position, swaps.back().position + swaps.back().length);
    document->appendUndoItem(new FormatSwapUndo(document, std::move(swaps)));
}

QList<QTextCharFormat> distinctCharFormats(const QTextDocument *document, int start, int end)
{
    QList<QTextCharFormat> result;
    if (start >= end)
        return result;
    const QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    const FragmentMap &fragments = storage->fragmentMap();
    const QString text = storage->buffer();
    std::vector<bool> seen(size_t(storage->formatCollection()->numFormats()), false);
    uint node = fragments.findNode(start);
    for (int position = int(fragments.position(node)); node && position < end; node = fragments.next(node)) {
        position += int(fragments.size(node));
        const QTextFragmentData *fragment = fragments.fragment(node);
        if (fragment->format < 0 || size_t(fragment->format) >= seen.size() || seen[size_t(fragment->format)]
            || isParagraphEnd(text.at(fragment->stringPosition)))
            continue;
        seen[size_t(fragment->format)] = true;
        result.append(storage->formatCollection()->charFormat(fragment->format));
    }
    return result;
}

}  // namespace engine
