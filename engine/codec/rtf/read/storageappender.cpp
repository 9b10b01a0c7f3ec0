#include "engine/codec/rtf/read/storageappender.h"

#include "engine/codec/hugepages.h"
#include "engine/codec/rtf/read/qtstorageaccess.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextObject>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace engine::rtfin {

using namespace qtstorage;

StorageAppender::StorageAppender(QTextDocument *document)
    : m_document(document), m_storage(QTextDocumentPrivate::get(document))
{
}

namespace {

constexpr qsizetype kReserveFromBytes = qsizetype(1) << 20;
// Mixed formats take about 15 bytes of RTF a piece; plain text takes many more.
constexpr qsizetype kSourceBytesPerPiece = 12;

// Grows the array behind the piece tree to hold `count` nodes, as its own growth would
// when full: the free slots past the old end follow on from it.
void reservePieces(PieceTree &tree, qsizetype count)
{
    if (count <= qsizetype(tree.head->allocated) || count > qsizetype(std::numeric_limits<quint32>::max() / 2))
        return;
    const size_t oldEnd = tree.head->allocated;
    auto *grown = static_cast<QTextFragmentData *>(realloc(tree.fragments, size_t(count) * sizeof(QTextFragmentData)));
    if (!grown)
        return;  // the tree grows as it goes instead
    tree.fragments = grown;
    tree.head->allocated = quint32(count);
    tree.F(uint(oldEnd)).right = 0;
    preferLargePages(grown, size_t(count) * sizeof(QTextFragmentData));
}

}  // namespace

// A large source is read into storage sized for it at once: grown as it fills, the text
// and the piece array would be copied into fresh memory again and again, which costs a
// large load a good part of its time. A character takes at least a byte of RTF, so the
// text's room is an upper bound; memory set aside and never written costs nothing.
void StorageAppender::reserveFor(qsizetype sourceBytes)
{
    if (sourceBytes < kReserveFromBytes)
        return;
    QString &text = m_storage->*memberOf(TextBuffer{});
    text.reserve(text.size() + sourceBytes);
    preferLargePages(text.constData(), size_t(text.capacity()) * sizeof(QChar));
    PieceTree &tree = m_storage->fragmentMap().*memberOf(PieceTreeOf{});
    reservePieces(tree, qsizetype(tree.head->node_count) + 1 + sourceBytes / kSourceBytesPerPiece);
}

bool StorageAppender::namesNoFrame(int format)
{
    if (format < 0)
        return false;
    if (size_t(format) >= m_frameless.size())
        m_frameless.resize(size_t(format) + 1, 0);
    qint8 &known = m_frameless[size_t(format)];
    if (known == 0)
        known = m_storage->formatCollection()->format(format).objectIndex() == -1 ? 1 : -1;
    return known > 0;
}

// The object (a list, or a frame) a block format names; formats and their objects stay
// while the document is built.
QTextObject *StorageAppender::objectOf(int blockFormat)
{
    if (blockFormat < 0)
        return nullptr;
    if (size_t(blockFormat) >= m_blockObjects.size())
        m_blockObjects.resize(size_t(blockFormat) + 1);
    std::optional<QTextObject *> &known = m_blockObjects[size_t(blockFormat)];
    if (!known)
        known = m_storage->objectForFormat(blockFormat);
    return *known;
}

bool StorageAppender::accepts(int blockFormat, int markFormat, std::span<const TextRun> runs)
{
    if (!m_storage->isInEditBlock() || m_storage->isUndoRedoEnabled() || !m_storage->blockCursorAdjustment)
        return false;
    if (!namesNoFrame(markFormat) || qobject_cast<QTextFrame *>(objectOf(blockFormat)))
        return false;
    return std::all_of(runs.begin(), runs.end(), [this](const TextRun &run) {
        return !run.marks && run.length > 0 && namesNoFrame(run.format);
    });
}

// A piece goes right before the document's last paragraph mark, the largest node of the
// tree, after the piece appended before it: as the right child of that piece, or else as
// the left child of the mark. Either way the mark is the only node whose left side grew.
void StorageAppender::appendPiece(int length, int stringPosition, int format)
{
    QTextDocumentPrivate::FragmentMap &pieces = m_storage->fragmentMap();
    PieceTree &tree = pieces.*memberOf(PieceTreeOf{});
    const uint piece = (tree.*memberOf(NewPiece{}))();
    QTextFragmentData &node = tree.F(piece);
    node.left = node.right = 0;
    node.size_array[0] = uint(length);
    node.size_left_array[0] = 0;
    node.initialize();
    node.format = format;
    node.stringPosition = stringPosition;

    QTextFragmentData &mark = tree.F(m_finalPiece);
    uint after = m_lastPiece;
    if (!after && mark.left)
        after = tree.maximum(mark.left);
    if (after && !tree.F(after).right) {
        tree.F(after).right = piece;
        node.parent = after;
    } else {
        mark.left = piece;
        node.parent = m_finalPiece;
    }
    mark.size_left_array[0] += uint(length);
    (tree.*memberOf(RebalancePieces{}))(piece);
    m_lastPiece = piece;
}

// A block goes after the last one, as the right child of the largest node: no node's left
// side changes.
uint StorageAppender::appendBlock(int format)
{
    QTextDocumentPrivate::BlockMap &blocks = m_storage->blockMap();
    BlockTree &tree = blocks.*memberOf(BlockTreeOf{});
    const uint last = tree.maximum(tree.root());
    const uint block = (tree.*memberOf(NewBlock{}))();
    QTextBlockData &node = tree.F(block);
    node.left = node.right = 0;
    std::fill(std::begin(node.size_array), std::end(node.size_array), 1u);
    std::fill(std::begin(node.size_left_array), std::end(node.size_left_array), 0u);
    node.initialize();
    node.format = format;
    node.parent = last;
    tree.F(last).right = block;
    (tree.*memberOf(RebalanceBlocks{}))(block);
    return block;
}

int StorageAppender::appendParagraph(int blockFormat, int markFormat, const QString &text,
                                     std::span<const TextRun> runs)
{
    QString &buffer = m_storage->*memberOf(TextBuffer{});
    const auto noteInsertion = memberOf(NoteInsertion{});
    QTextDocumentPrivate::BlockMap &blocks = m_storage->blockMap();
    const PieceTree &pieceTree = m_storage->fragmentMap().*memberOf(PieceTreeOf{});
    m_finalPiece = pieceTree.maximum(pieceTree.root());
    m_lastPiece = 0;

    // The paragraph mark ends the last block, which keeps its format, and starts a new
    // one holding the document's last mark.
    const int markAt = m_storage->length() - 1;
    const uint before = blocks.last().n;
    const bool beforeWasEmpty = blocks.size(before) == 1;
    const int beforeRevision = blocks.fragment(before)->revision;
    const int markPosition = int(buffer.size());
    buffer.append(QChar::ParagraphSeparator);
    appendPiece(1, markPosition, markFormat);
    const uint block = appendBlock(blockFormat);
    if (auto *list = qobject_cast<QTextBlockGroup *>(objectOf(blockFormat))) {
        ListItemInsertion::notify(list, QTextBlock(m_storage, int(block)));
        // As Qt does: the list marked its item changed, which the insertion counts again.
        --(m_storage->*memberOf(ChangedOldLength{}));
        --(m_storage->*memberOf(ChangedLength{}));
    }
    (m_storage->*noteInsertion)(markAt, 1, QTextUndoCommand::MoveCursor);
    const int revision = m_document->revision();
    blocks.fragment(before)->revision = beforeWasEmpty ? revision : beforeRevision;
    blocks.fragment(block)->revision = beforeWasEmpty ? beforeRevision : revision;
    m_storage->needsEnsureMaximumBlockCount = true;

    const int textAt = markAt + 1;
    if (text.isEmpty())
        return textAt;
    const int textPosition = int(buffer.size());
    buffer.append(text);
    for (const TextRun &run : runs)
        appendPiece(int(run.length), textPosition + int(run.from), run.format);
    blocks.fragment(block)->size_array[0] += uint(text.size());
    (m_storage->*noteInsertion)(textAt, int(text.size()), QTextUndoCommand::MoveCursor);
    return textAt + int(text.size());
}

}  // namespace engine::rtfin
