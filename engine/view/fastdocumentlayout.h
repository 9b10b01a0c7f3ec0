#pragma once
#include <QFont>
#include <QTextOption>
#include <QtGui/private/qtextdocumentlayout_p.h>

#include <functional>
#include <limits>
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
//
// A format change over many paragraphs (Select All, then Bold) would be laid out all at
// once, which takes seconds in a large document. Such paragraphs are deferred instead:
// they keep their old lines and places, drawn with the new formats, until they are laid
// out: those about to be drawn right before drawing, the others a slice at a time (about
// kSliceMs each) while the program is idle, starting a moment after the change
// (fastdocumentlayout_deferred.cpp). A slice places its paragraphs one below the other
// and leaves those after it where they are, so that it costs what it lays out; the
// paragraphs after them are moved once, when the slices reach one that is not deferred,
// or earlier when what is drawn or hit reaches the paragraphs laid out so.
//
// A large insertion (a paste of a long document) lays out only its last paragraphs, where
// the caret ends, at once; the paragraphs before them stand at one height, taking no
// room, until the background or a drawing reaches them. A request to lay the whole
// document out again when neither its text nor its settings changed (a view setting the
// same width again) is let go (fastdocumentlayout_insertion.cpp).
//
// A new text width (a window resize) on a large document lays out at once only what the
// view shows; the other paragraphs are deferred as after a format change, keeping their
// old lines and places, so that the paragraphs above the view and the view's first line
// stay where they were (fastdocumentlayout_width.cpp).
namespace engine {

class FastDocumentLayout : public QTextDocumentLayout {
    Q_OBJECT
public:
    explicit FastDocumentLayout(QTextDocument *document);

    // Brings Qt's check points up to date after paragraphs were laid out here.
    void syncPositions();
    // Names the paragraphs (by number) that the next change edits, when one change
    // spans many paragraphs but edits only some of them (a grouped replacement): each of
    // them is laid out by itself, as long as none changes its height.
    void expectEditedParagraphs(std::vector<int> blockNumbers) { m_expectedEdits = std::move(blockNumbers); }
    bool hasPendingPositions() const { return m_pendingFrom >= 0; }

    // Gives lines to a paragraph that Qt's layout, still under way, has not reached, so
    // that a cursor can be put in it without Qt first laying out everything before it.
    // Qt lays it out again, in its place, when it gets there.
    void giveLinesAhead(const QTextBlock &block);

    // What the view shows, in document coordinates: laid out first when the width changes.
    void setShownArea(std::function<QRectF()> area) { m_shownArea = std::move(area); }

    bool hasDeferredParagraphs() const { return !m_deferred.empty(); }
    void layOutDeferredParagraphs();  // all of them, now
    bool layOutDeferredAround(int position, qreal height);

    void draw(QPainter *painter, const PaintContext &context) override;

signals:
    // Around laying out deferred paragraphs or moving paragraphs laid out before, outside
    // drawing, so that a view can keep what it shows in place when paragraphs above it
    // change height. Never nested.
    void aboutToLayOutDeferred();
    void deferredLaidOut();

protected:
    void documentChanged(int from, int oldLength, int length) override;
    void timerEvent(QTimerEvent *event) override;

private:
    struct Span {
        int from;
        int to;
    };
    // What the lines depend on besides the text.
    struct LayoutSettings {
        QSizeF pageSize;
        QFont font;
        Qt::Alignment alignment;
        QTextOption::WrapMode wrapMode = QTextOption::WordWrap;
        QTextOption::Flags flags;
        qreal indentWidth = 0;
        static LayoutSettings of(const QTextDocument *document);
        bool operator==(const LayoutSettings &) const = default;
    };

    bool layoutParagraphInPlace(int from, int oldLength, int length);
    bool layoutEditedParagraphsInPlace(const std::vector<int> &blockNumbers);
    bool canLayoutInPlace() const;
    bool relayoutKeepingHeight(QTextBlock block, bool mayBeFirst, qreal *top, qreal *extent);
    void markLaidOutHere(int from);
    bool relayoutBlock(const QTextBlock &block, qreal *extent, bool *fitsWidth = nullptr);
    void layOutThroughQt(int from, int oldLength, int length);
    void keepQtLayoutInBackground();

    bool deferLargeChange(int from, int oldLength, int length);
    int firstNotLaidOutByQt(int from, int to) const;
    bool deferLargeInsertion(int from, int oldLength, int length);
    bool isRelayoutOfSameParagraphs(int from, int oldLength, int length) const;
    bool deferNewWidth(const LayoutSettings &previous, int from, int oldLength, int length);
    void giveQtTheNewWidth();
    void layOutThroughQtNow(int from, int oldLength, int length);
    bool isSimpleFlow() const;
    void startSlicesSoon();
    void layOutUnlaidIn(const QRectF &area);
    QTextBlock firstUnlaidIn(const QRectF &area) const;
    void followEdit(int from, int oldLength, int length);
    void layOutDeferredBetween(int from, int to);
    void layOutDeferredHere(int from, int to);
    bool layOutDeferredIn(const QRectF &area);
    void layOutDeferredSlice();
    // Takes [from, to) out of what waits for layout; the slice timer stops once nothing waits.
    void undefer(int from, int to);
    bool layOutSliceHere(int from, int to, qreal bottom = std::numeric_limits<qreal>::max());
    void layOutShownNow(const QRectF &area);
    bool reachesMovedParagraphs(const QRectF &area) const;
    bool startKeepingView();
    void stopKeepingView(bool started);

    int m_pendingFrom = -1;  // first position laid out here since the last sync
    // After slices laid out here: the end of the last one. The paragraphs from
    // m_pendingFrom to it stand in their new places, those after it in their old ones.
    int m_movedTo = -1;
    int m_blockCount = -1;
    int m_idleTimer = 0;
    std::vector<int> m_expectedEdits;
    std::vector<Span> m_deferred;  // ascending, disjoint character ranges
    int m_sliceTimer = 0;
    bool m_sliceTimerWaiting = false;  // the timer runs to the first slice
    int m_sliceChars = 50000;  // adapted so that a slice takes about kSliceMs
    int m_revision = -1;        // the document's revision at the last change
    LayoutSettings m_settings;  // and its settings
    // The width changed and Qt's layout has not been told: its next pass would lay out
    // every paragraph again (giveQtTheNewWidth()).
    bool m_qtHasOldWidth = false;
    std::function<QRectF()> m_shownArea;
    bool m_keepingView = false;  // between aboutToLayOutDeferred() and deferredLaidOut()
    bool m_drawing = false;
};

}  // namespace engine
