#include "engine/view/richeditview.h"

#include "engine/codec/listdocument.h"
#include "engine/codec/objecttextformat.h"
#include "engine/view/caretblinkguard.h"
#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview_p.h"
#include "engine/codec/textprops.h"
#include "engine/codec/textsearch.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace engine {

namespace {

// Paragraph ends as "\r", soft line breaks as "\v", as callers of the engine expect.
QString toEngineText(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
    text.replace(QChar::LineSeparator, QLatin1Char('\v'));
    return text;
}

// "\r\n", "\r" and "\n" all end a paragraph; "\v" breaks a line.
QString fromEngineText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\v'), QChar::LineSeparator);
    return text;
}

}  // namespace

RichEditView::RichEditView(QWidget *parent)
    : QTextEdit(parent)
    , d(new Private)
{
    setDocument(new ListDocument(this));
    setAcceptRichText(true);
    setUndoRedoEnabled(true);
    document()->setDocumentMargin(0);
    auto *layout = new FastDocumentLayout(document());
    document()->setDocumentLayout(layout);
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);  // paragraphs are left to right unless marked
    document()->setDefaultTextOption(option);
    d->highlighter = new DisplayHighlighter(document());
    new CaretBlinkGuard(this);
    d->notes = new NoteList(this);
    d->defaultFormat.setProperty(prop::AutoColor, true);
    viewport()->setMouseTracking(true);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    // The change is reported once the edit is complete, when the document's modified flag
    // already tells of it.
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        ++d->documentChanges;
        if (removed > 0 || added > 0)
            d->contentEdited = true;
    });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        const bool edited = std::exchange(d->contentEdited, false);
        if (edited && (d->eventMask & ENM_CHANGE))
            emit contentChanged();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichEditView::notifySelectionIfChanged);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichEditView::typeBesideObjectsAsText);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichEditView::layOutAroundCaret);
    // Paragraphs laid out late above the view may change height; the text in view stays.
    connect(layout, &FastDocumentLayout::aboutToLayOutDeferred, this, &RichEditView::rememberTopOfView);
    connect(layout, &FastDocumentLayout::deferredLaidOut, this, &RichEditView::restoreTopOfView);
    layout->setShownArea([this] {
        return QRectF(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()), QSizeF(viewport()->size()));
    });
    connect(this, &QTextEdit::selectionChanged, this, &RichEditView::notifySelectionIfChanged);
    // Any newer step leaves the last tracked group behind.
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] {
        d->lastGroupUndoSteps = -1;
        d->lastFormatChange = {};
    });

    // The set-up above (document margin) is not an edit of the user's.
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

RichEditView::~RichEditView()
{
    delete d;
}

// A caret moved into paragraphs still waiting for their layout (Ctrl+End) has them laid
// out before the view is brought to it; a caret in view stays in view.
void RichEditView::layOutAroundCaret()
{
    auto *layout = dynamic_cast<FastDocumentLayout *>(document()->documentLayout());
    if (!layout || !layout->hasDeferredParagraphs())
        return;
    const bool shown = viewport()->rect().intersects(cursorRect());
    if (layout->layOutDeferredAround(textCursor().position(), viewport()->height()) && shown)
        ensureCursorVisible();
}

int RichEditView::clampPosition(int position) const
{
    return std::clamp(position, 0, textLength());
}

QTextCursor RichEditView::cursorForRange(CharRange range) const
{
    QTextCursor cursor(document());
    const int end = range.max < 0 ? textLength() : clampPosition(range.max);
    cursor.setPosition(clampPosition(range.min));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return cursor;
}

void RichEditView::cutSelection()
{
    cut();
}

void RichEditView::copySelection()
{
    copy();
}

void RichEditView::pasteClipboard()
{
    paste();
}

void RichEditView::clearSelection()
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

CharRange RichEditView::selectionRange() const
{
    const QTextCursor cursor = textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
}

void RichEditView::setSelectionRange(CharRange range)
{
    // A range of 0..-1 selects everything; otherwise the caret goes to max.
    QTextCursor cursor(document());
    const int end = range.max < 0 ? textLength() : clampPosition(range.max);
    const int start = range.min < 0 ? end : clampPosition(range.min);
    if (start == 0 && end == textLength() && end > 0) {
        // Everything: the view stays where it is, so that nothing out of view needs laying
        // out to find where the caret is.
        if (auto *layout = dynamic_cast<FastDocumentLayout *>(document()->documentLayout()))
            layout->giveLinesAhead(document()->lastBlock());
        selectAll();
        return;
    }
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichEditView::replaceSelection(const QString &text)
{
    typeBesideObjectsAsText();
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(fromEngineText(text));
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void RichEditView::replaceRange(CharRange range, const QString &text)
{
    QTextCursor cursor = cursorForRange(range);
    if (d->undoGroupDepth > 0)
        noteGroupEdit(cursor, text);
    QTextCursor first(document());
    first.setPosition(std::min(cursor.selectionStart() + 1, cursor.selectionEnd()));
    const QTextCharFormat format = textFormatOf(first.charFormat());
    cursor.beginEditBlock();
    cursor.insertText(fromEngineText(text), format);
    cursor.endEditBlock();
}

QString RichEditView::selectedText() const
{
    return toEngineText(textCursor().selectedText());
}

QString RichEditView::textRange(CharRange range) const
{
    return toEngineText(cursorForRange(range).selectedText());
}

int RichEditView::textLength() const
{
    return document()->characterCount() - 1;
}

int RichEditView::lineCount() const
{
    return document()->blockCount();
}

int RichEditView::lineIndex(int line) const
{
    const QTextBlock block = line < 0 ? textCursor().block() : document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int RichEditView::lineLength(int charIndex) const
{
    const QTextBlock block = charIndex < 0 ? textCursor().block()
                                           : document()->findBlock(clampPosition(charIndex));
    return block.isValid() ? block.length() - 1 : 0;
}

int RichEditView::lineFromChar(int charIndex) const
{
    if (charIndex < 0)
        return textCursor().blockNumber();
    return document()->findBlock(clampPosition(charIndex)).blockNumber();
}

QString RichEditView::lineText(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? toEngineText(block.text()) : QString();
}

bool RichEditView::canUndo() const
{
    return document()->isUndoAvailable();
}

bool RichEditView::canRedo() const
{
    return document()->isRedoAvailable();
}

// Undoing or redoing the last tracked group edits the paragraphs it edited.
void RichEditView::undoLast()
{
    if (d->lastGroupUndoSteps >= 0 && document()->availableUndoSteps() == d->lastGroupUndoSteps)
        expectEditedParagraphs(d->lastGroupBlocks);
    stepHistory(true);
}

void RichEditView::redoLast()
{
    if (d->lastGroupUndoSteps >= 0 && document()->availableUndoSteps() == d->lastGroupStepsBefore)
        expectEditedParagraphs(d->lastGroupBlocks);
    stepHistory(false);
}

// Qt leaves the caret at the end of what the step changed and scrolls there, which after
// a change to everything lays out the whole document and leaves the view at its end.
void RichEditView::stepHistory(bool undo)
{
    const QTextCursor before = textCursor();
    const int length = textLength();
    const int steps = document()->availableUndoSteps();
    // The next step is the last format change when the history stands right before or
    // after it: undone or redone, it keeps the overlays as it did.
    const Private::SelectionFormatChange &change = d->lastFormatChange;
    d->highlighter->setOverlaysKept(change.keptOverlays
                                    && steps == (undo ? change.stepsAfter : change.stepsBefore));
    QTextCursor after = before;
    if (undo)
        document()->undo(&after);
    else
        document()->redo(&after);
    d->highlighter->setOverlaysKept(false);
    const bool formatsOfSelection = before.hasSelection() && textLength() == length
                                    && after.position() == before.selectionEnd();
    if (!formatsOfSelection) {
        setTextCursor(after);
        return;
    }
    recallSelectionFormats(before.selectionStart(), before.selectionEnd(), undo, steps);
    if (before.selectionStart() == 0 && before.selectionEnd() == length)
        setSelectionRange({0, -1});
    else
        setTextCursor(before);
}

// Undoing the last format change of the selection gives back the formats it had before,
// and redoing it those it had after, without a pass over the selection.
void RichEditView::recallSelectionFormats(int start, int end, bool undone, int stepsBefore)
{
    const Private::SelectionFormatChange &change = d->lastFormatChange;
    const int from = undone ? change.stepsAfter : change.stepsBefore;
    const int to = undone ? change.stepsBefore : change.stepsAfter;
    if (change.start != start || change.end != end || stepsBefore != from
        || document()->availableUndoSteps() != to)
        return;
    d->selectionFormats = {start, end, d->documentChanges, undone ? change.before : change.after};
}

// The group starts at the caret, where undoing it puts the caret back.
void RichEditView::beginUndoGroup()
{
    if (d->undoGroupDepth++ == 0) {
        d->groupBlockCount = document()->blockCount();
        d->groupStepsBefore = document()->availableUndoSteps();
        d->groupEditsInParagraphs = true;
        d->groupEditedBlocks.clear();
    }
    textCursor().beginEditBlock();
}

// The layout is told which paragraphs the group edited, so that it lays out those
// alone instead of everything between the first and the last.
void RichEditView::endUndoGroup()
{
    const bool outermost = --d->undoGroupDepth == 0;
    const bool tracked = outermost && d->groupEditsInParagraphs && !d->groupEditedBlocks.empty()
                         && document()->blockCount() == d->groupBlockCount;
    if (tracked) {
        std::vector<int> &edited = d->groupEditedBlocks;
        std::sort(edited.begin(), edited.end());
        edited.erase(std::unique(edited.begin(), edited.end()), edited.end());
        expectEditedParagraphs(edited);
    }
    textCursor().endEditBlock();
    if (tracked) {
        d->lastGroupStepsBefore = d->groupStepsBefore;
        d->lastGroupUndoSteps = document()->availableUndoSteps();
        d->lastGroupBlocks = std::exchange(d->groupEditedBlocks, {});
    }
}

void RichEditView::expectEditedParagraphs(const std::vector<int> &blockNumbers)
{
    if (auto *layout = dynamic_cast<FastDocumentLayout *>(document()->documentLayout()))
        layout->expectEditedParagraphs(blockNumbers);
}

void RichEditView::noteGroupEdit(const QTextCursor &range, const QString &text)
{
    const QTextBlock block = document()->findBlock(range.selectionStart());
    const bool inParagraph = range.selectionEnd() < block.position() + block.length()
                             && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))
                             && !text.contains(QChar::ParagraphSeparator);
    if (!inParagraph)
        d->groupEditsInParagraphs = false;
    else
        d->groupEditedBlocks.push_back(block.blockNumber());
}

int RichEditView::findText(quint32 flags, CharRange range, const QString &text) const
{
    SearchOptions options;
    options.matchCase = (flags & FR_MATCHCASE) != 0;
    options.wholeWord = (flags & FR_WHOLEWORD) != 0;
    // Backward only when asked the platform way: no FR_DOWN and a range that runs back.
    options.forward = (flags & FR_DOWN) != 0 || range.max < 0 || range.max >= range.min;
    return findInDocument(*document(), range, text, options);
}

quint32 RichEditView::eventMask() const
{
    return d->eventMask;
}

void RichEditView::setEventMask(quint32 mask)
{
    d->eventMask = mask;
}

void RichEditView::setAutoUrlDetect(bool on)
{
    d->highlighter->setDetectUrls(on);
}

bool RichEditView::autoUrlDetect() const
{
    return d->highlighter->detectUrls();
}

void RichEditView::notifySelectionIfChanged()
{
    const CharRange current = selectionRange();
    if (current == d->lastSelection)
        return;
    d->lastSelection = current;
    if (d->eventMask & ENM_SELCHANGE)
        emit selectionChangeNotify();
}

}  // namespace engine
