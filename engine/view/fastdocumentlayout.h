#pragma once
#include <QtGui/private/qtextdocumentlayout_p.h>

#include <vector>

class QTextBlock;

// Qt's document layout re-positions every paragraph after an edited one, so each key
// stroke costs time in proportion to the document. This layout lays out an edited
// paragraph by itself when the edit stays inside that paragraph and its height does not
// change (the usual case while typing), leaving the paragraphs after it where they are.
// Any other change, and any paragraph whose height changes, goes through Qt's layout.
//
// Qt's layout keeps check points (character position and height) to restart from; the
// paragraphs laid out here shift the positions of the check points after them. Until the
// layout is brought up to date (syncPositions(): on the next change Qt lays out, before a
// hit test from the mouse, and when typing pauses) a check point may point a little
// earlier than its paragraph, which only makes a search start earlier.
namespace engine {

class FastDocumentLayout : public QTextDocumentLayout {
public:
    explicit FastDocumentLayout(QTextDocument *document);

    // Brings Qt's check points up to date after paragraphs were laid out here.
    void syncPositions();
    // Names the paragraphs (by number) that the next change edits, when one change
    // spans many paragraphs but edits only some of them (a grouped replacement): each of
    // them is laid out by itself, as long as none changes its height.
    void expectEditedParagraphs(std::vector<int> blockNumbers) { m_expectedEdits = std::move(blockNumbers); }
    bool hasPendingPositions() const { return m_pendingFrom >= 0; }

protected:
    void documentChanged(int from, int oldLength, int length) override;
    void timerEvent(QTimerEvent *event) override;

private:
    bool layoutParagraphInPlace(int from, int oldLength, int length);
    bool layoutEditedParagraphsInPlace(const std::vector<int> &blockNumbers);
    bool canLayoutInPlace() const;
    bool relayoutKeepingHeight(QTextBlock block, bool mayBeFirst, qreal *top, qreal *extent);
    void markLaidOutHere(int from);
    bool relayoutBlock(const QTextBlock &block, qreal *extent);

    int m_pendingFrom = -1;  // first position laid out here since the last sync
    int m_blockCount = -1;
    int m_idleTimer = 0;
    std::vector<int> m_expectedEdits;
};

}  // namespace engine
