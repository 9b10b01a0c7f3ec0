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

// The swaps of one change, in ascending order, packed as variable-length numbers: a
// Select All over a large document swaps millions of fragments, and at 16 bytes each the
// log alone would take tens of megabytes of fresh memory. Each swap is stored as its gap
// after the previous one, its length and its old format; the new format follows from the
// old one through the change's table.
class FormatSwapLog {
public:
    explicit FormatSwapLog(size_t expectedSwaps) { m_bytes.reserve(expectedSwaps * 4); }

    void append(const FormatSwap &swap)
    {
        putNumber(uint32_t(swap.position - m_end));
        putNumber(uint32_t(swap.length));
        putNumber(uint32_t(swap.before));
        if (size_t(swap.before) >= m_after.size())
            m_after.resize(size_t(swap.before) + 1, -1);
        m_after[size_t(swap.before)] = swap.after;
        m_end = swap.position + swap.length;
        if (m_first < 0)
            m_first = swap.position;
        ++m_count;
    }
    bool empty() const { return m_count == 0; }
    int first() const { return m_first; }
    int end() const { return m_end; }

    template <typename Visit>
    void forEach(Visit visit) const
    {
        size_t at = 0;
        int position = 0;
        for (size_t i = 0; i < m_count; ++i) {
            FormatSwap swap;
            swap.position = position + int(takeNumber(at));
            swap.length = int(takeNumber(at));
            swap.before = int(takeNumber(at));
            swap.after = m_after[size_t(swap.before)];
            position = swap.position + swap.length;
            visit(swap);
        }
    }

private:
    void putNumber(uint32_t value)
    {
        while (value >= 0x80) {
            m_bytes.push_back(uint8_t(value | 0x80));
            value >>= 7;
        }
        m_bytes.push_back(uint8_t(value));
    }
    uint32_t takeNumber(size_t &at) const
    {
        uint32_t value = 0;
        for (int shift = 0;; shift += 7) {
            const uint8_t byte = m_bytes[at++];
            value |= uint32_t(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return value;
        }
    }

    std::vector<uint8_t> m_bytes;
    std::vector<int> m_after;  // by old format index
    size_t m_count = 0;
    int m_first = -1;
    int m_end = 0;
};

// Puts each swap's `before` (undo) or `after` (redo) format back. The fragments normally
// still lie as they were left; where later edits split or joined them, the document's
// own format change does the splitting.
void replay(QTextDocument *document, const FormatSwapLog &swaps, bool undo)
{
    if (swaps.empty())
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    FragmentMap &fragments = storage->fragmentMap();
    // The walk keeps the position of `node` as it goes: asking the map for it costs a
    // climb of the tree each time.
    uint node = fragments.findNode(swaps.first());
    int position = node ? int(fragments.position(node)) : 0;
    swaps.forEach([&](const FormatSwap &swap) {
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
    });
    announceFormatChange(storage, swaps.first(), swaps.end());
}

class FormatSwapUndo : public QAbstractUndoItem {
public:
    FormatSwapUndo(QTextDocument *document, FormatSwapLog swaps)
        : m_document(document)
        , m_swaps(std::move(swaps))
    {
    }
    void undo() override { replay(m_document, m_swaps, true); }
    void redo() override { replay(m_document, m_swaps, false); }

private:
    QTextDocument *m_document;
    FormatSwapLog m_swaps;
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

void swapFormat(FragmentMap &fragments, uint node, int position, FormatMapper &map, FormatSwapLog &swaps)
{
    QTextFragmentData *fragment = fragments.fragment(node);
    const int changed = map(fragment->format);
    if (changed == fragment->format)
        return;
    swaps.append({position, int(fragments.size(node)), fragment->format, changed});
    fragment->format = changed;
}

// The paragraph end before an empty paragraph carries the format typed there; the
// first paragraph's lies outside the text and goes through the document.
void applyToFirstParagraphIfEmpty(QTextDocument *document, int start, const CharFormat &format)
{
    const QTextBlock first = document->begin();
    if (start != 0 || first.length() != 1)
        return;
    QTextCursor paragraph(first);
    QTextCharFormat merged = paragraph.blockCharFormat();
    applyCharFormat(format, merged);
    paragraph.setBlockCharFormat(merged);
}

}  // namespace

void applyCharFormatToRange(QTextDocument *document, int start, int end, const CharFormat &format)
{
    if (start >= end)
        return;
    applyToFirstParagraphIfEmpty(document, start, format);
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

    // Text fragments take the change; a paragraph end only where the paragraph after it,
    // starting inside the range, is empty (its own end follows at once). The walk starts
    // one before the range, for the paragraph end just before it. A fragment holds a
    // character at least, so the range has no more fragments than characters.
    FormatSwapLog swaps(size_t(std::min(fragments.numNodes(), end - start + 2)));
    uint node = fragments.findNode(std::max(0, start - 1));
    for (int position = int(fragments.position(node)); node && position < end; node = fragments.next(node)) {
        const int from = position;
        position += int(fragments.size(node));
        if (!isParagraphEndAt(node)) {
            if (from >= start && position <= end)
                swapFormat(fragments, node, from, map, swaps);
            continue;
        }
        const uint next = fragments.next(node);
        if (next && position >= start && position < end && isParagraphEndAt(next))
            swapFormat(fragments, node, from, map, swaps);
    }
    if (swaps.empty())
        return;
    announceFormatChange(storage, swaps.first(), swaps.end());
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
