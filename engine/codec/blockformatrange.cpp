#include "engine/codec/blockformatrange.h"

#include "engine/codec/storagechange.h"

#include <QAbstractUndoItem>
#include <QHash>
#include <QTextDocument>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <QtGui/private/qtextobject_p.h>
#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace engine {

namespace {

struct BlockSwap {
    int position;  // of the paragraph
    int before;    // format indexes
    int after;
};

QTextBlockGroup *groupOf(QTextDocumentPrivate *storage, int formatIndex)
{
    return qobject_cast<QTextBlockGroup *>(storage->objectForFormat(formatIndex));
}

QTextBlockGroupPrivate *membersOf(QTextBlockGroup *group)
{
    return static_cast<QTextBlockGroupPrivate *>(QObjectPrivate::get(group));
}

// The blocks that left and joined each group; a group's member list is rebuilt once.
class MembershipChanges {
public:
    void note(QTextBlockGroup *from, QTextBlockGroup *to, const QTextBlock &block)
    {
        if (from == to)
            return;
        if (from)
            m_changes[from].left.push_back(block.position());
        if (to)
            m_changes[to].joined.push_back(block);
    }

    // Applies the changes; answers the span of paragraphs whose list changed, for the
    // layout (numbers of other members may change too), or an empty span.
    std::pair<int, int> apply()
    {
        int from = INT_MAX;
        int to = -1;
        for (auto &[group, change] : m_changes) {
            QTextBlockGroupPrivate *d = membersOf(group);
            std::sort(change.left.begin(), change.left.end());
            QList<QTextBlock> kept;
            kept.reserve(d->blocks.size() + qsizetype(change.joined.size()));
            for (const QTextBlock &block : std::as_const(d->blocks))
                if (!std::binary_search(change.left.begin(), change.left.end(), block.position()))
                    kept.append(block);
            QList<QTextBlock> merged;
            merged.reserve(kept.size() + qsizetype(change.joined.size()));
            std::merge(kept.begin(), kept.end(), change.joined.begin(), change.joined.end(), std::back_inserter(merged));
            d->blocks = std::move(merged);
            if (!d->blocks.isEmpty()) {
                from = std::min(from, d->blocks.first().position());
                to = std::max(to, d->blocks.last().position() + d->blocks.last().length());
            }
            if (!change.left.empty()) {
                from = std::min(from, change.left.front());
                to = std::max(to, change.left.back() + 1);
            }
        }
        return {from, to};
    }

private:
    struct Change {
        std::vector<int> left;  // positions
        std::vector<QTextBlock> joined;
    };
    std::map<QTextBlockGroup *, Change> m_changes;
};

// Writes each swap's `before` (undo) or `after` (redo) format into its paragraph.
void writeFormats(QTextDocument *document, const std::vector<BlockSwap> &swaps, bool undo)
{
    if (swaps.empty())
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    MembershipChanges memberships;
    QTextBlock block = document->findBlock(swaps.front().position);
    for (const BlockSwap &swap : swaps) {
        while (block.isValid() && block.position() < swap.position)
            block = block.next();
        if (!block.isValid())
            break;
        const int wanted = undo ? swap.before : swap.after;
        QTextBlockData *data = storage->blockMap().fragment(block.fragmentIndex());
        memberships.note(groupOf(storage, data->format), groupOf(storage, wanted), block);
        data->format = wanted;
    }
    const auto [listFrom, listTo] = memberships.apply();
    const BlockSwap &last = swaps.back();
    const QTextBlock lastBlock = document->findBlock(last.position);
    const int from = std::min(swaps.front().position, listFrom);
    const int to = std::max(lastBlock.position() + lastBlock.length(), listTo);
    announceFormatChange(storage, from, std::min(to, document->characterCount()));
}

class BlockSwapUndo : public QAbstractUndoItem {
public:
    BlockSwapUndo(QTextDocument *document, std::vector<BlockSwap> swaps)
        : m_document(document)
        , m_swaps(std::move(swaps))
    {
    }
    void undo() override { writeFormats(m_document, m_swaps, true); }
    void redo() override { writeFormats(m_document, m_swaps, false); }

private:
    QTextDocument *m_document;
    std::vector<BlockSwap> m_swaps;
};

}  // namespace

void changeBlockFormats(QTextDocument *document, const QTextBlock &first, const QTextBlock &last,
                        const BlockFormatChange &change, const BlockListTarget &target)
{
    if (!first.isValid() || !last.isValid() || last.position() < first.position())
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document);
    QTextFormatCollection *formats = storage->formatCollection();
    QHash<std::pair<int, int>, int> changed;
    std::vector<BlockSwap> swaps;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const int before = block.blockFormatIndex();
        const int list = target ? target(block) : formats->blockFormat(before).objectIndex();
        auto found = changed.constFind({before, list});
        if (found == changed.cend()) {
            QTextBlockFormat format = change(formats->blockFormat(before), list);
            format.setObjectIndex(list);
            found = changed.insert({before, list}, formats->indexForFormat(format));
        }
        if (*found != before)
            swaps.push_back({block.position(), before, *found});
        if (block == last)
            break;
    }
    if (swaps.empty())
        return;
    writeFormats(document, swaps, false);
    document->appendUndoItem(new BlockSwapUndo(document, std::move(swaps)));
}

}  // namespace engine
