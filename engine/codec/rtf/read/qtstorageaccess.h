#pragma once
#include <QtGui/private/qtextdocument_p.h>

// The parts of Qt's text storage that Qt keeps to itself and StorageAppender needs: the
// trees behind the piece and block maps with their node allocation and rebalancing, the
// text buffer and the change range. An explicit instantiation may name private members
// (access is not checked there); each Expose below hands one out through memberOf().
// They follow the storage of the Qt version built against: a Qt whose storage differs
// fails to compile here rather than building wrong documents. Included by one source
// file only: an explicit instantiation is made once in a program.
namespace engine::rtfin::qtstorage {

using PieceTree = QFragmentMapData<QTextFragmentData>;
using BlockTree = QFragmentMapData<QTextBlockData>;

template <typename Tag, typename Tag::Type Member>
struct Expose {
    friend typename Tag::Type memberOf(Tag) { return Member; }
};

struct PieceTreeOf {
    using Type = PieceTree QTextDocumentPrivate::FragmentMap::*;
    friend Type memberOf(PieceTreeOf);
};
struct BlockTreeOf {
    using Type = BlockTree QTextDocumentPrivate::BlockMap::*;
    friend Type memberOf(BlockTreeOf);
};
struct NewPiece {
    using Type = uint (PieceTree::*)();
    friend Type memberOf(NewPiece);
};
struct NewBlock {
    using Type = uint (BlockTree::*)();
    friend Type memberOf(NewBlock);
};
struct RebalancePieces {
    using Type = void (PieceTree::*)(uint);
    friend Type memberOf(RebalancePieces);
};
struct RebalanceBlocks {
    using Type = void (BlockTree::*)(uint);
    friend Type memberOf(RebalanceBlocks);
};
struct TextBuffer {
    using Type = QString QTextDocumentPrivate::*;
    friend Type memberOf(TextBuffer);
};
struct NoteInsertion {
    using Type = void (QTextDocumentPrivate::*)(int, int, QTextUndoCommand::Operation);
    friend Type memberOf(NoteInsertion);
};
struct ChangedOldLength {
    using Type = int QTextDocumentPrivate::*;
    friend Type memberOf(ChangedOldLength);
};
struct ChangedLength {
    using Type = int QTextDocumentPrivate::*;
    friend Type memberOf(ChangedLength);
};

// Qt's lists learn of a new item through a protected function.
struct ListItemInsertion : QTextBlockGroup {
    static void notify(QTextBlockGroup *list, const QTextBlock &item) { (list->*&ListItemInsertion::blockInserted)(item); }
};

template struct Expose<PieceTreeOf, &QTextDocumentPrivate::FragmentMap::data>;
template struct Expose<BlockTreeOf, &QTextDocumentPrivate::BlockMap::data>;
template struct Expose<NewPiece, &PieceTree::createFragment>;
template struct Expose<NewBlock, &BlockTree::createFragment>;
template struct Expose<RebalancePieces, &PieceTree::rebalance>;
template struct Expose<RebalanceBlocks, &BlockTree::rebalance>;
template struct Expose<TextBuffer, &QTextDocumentPrivate::text>;
template struct Expose<NoteInsertion, &QTextDocumentPrivate::adjustDocumentChangesAndCursors>;
template struct Expose<ChangedOldLength, &QTextDocumentPrivate::docChangeOldLength>;
template struct Expose<ChangedLength, &QTextDocumentPrivate::docChangeLength>;

}  // namespace engine::rtfin::qtstorage
