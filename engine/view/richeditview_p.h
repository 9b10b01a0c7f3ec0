#pragma once
#include "engine/codec/pagelayout.h"
#include "engine/view/displayhighlighter.h"
#include "engine/view/notelist.h"
#include "engine/view/richeditview.h"

#include <QRect>
#include <QTextCharFormat>
#include <memory>
#include <vector>

// State shared by the view's source files.
namespace engine {

struct RichEditView::Private {
    quint32 eventMask = 0;
    CharRange lastSelection;
    DisplayHighlighter *highlighter = nullptr;
    QTextCharFormat defaultFormat;  // the default character format's extra properties
    QRect formatRect;               // empty: the whole viewport
    CharRange linkUnderMouse{-1, -1};
    bool selectionShownWithoutFocus = true;
    std::unique_ptr<PageLayout> pages;  // created by the first page request
    NoteList *notes = nullptr;          // footnotes and endnotes shown after the text
    bool contentEdited = false;     // an edit is under way whose change is not yet reported

    // An undo group under way: its depth, the undo steps available before it, and the
    // paragraphs its replacements edited, as long as they all stayed inside one paragraph.
    int undoGroupDepth = 0;
    int groupBlockCount = 0;
    int groupStepsBefore = -1;
    bool groupEditsInParagraphs = true;
    std::vector<int> groupEditedBlocks;
    // The last such group, while it is the newest step of the history: the undo steps
    // available before and after it (Qt counts each edit of the group as a step), and the
    // paragraphs it edited (undo and redo edit the same).
    int lastGroupStepsBefore = -1;
    int lastGroupUndoSteps = -1;
    std::vector<int> lastGroupBlocks;
    int topPosition = -1;           // the first character at the top of the view, and how
    qreal topOffset = 0;            // far its line's top lies above the view's top

    // The different formats of the selected text, kept while neither the selection nor
    // the document changes: the format bar asks for them after every selection and
    // change, and finding them takes a pass over everything selected.
    quint64 documentChanges = 0;  // changes of text or formats so far
    struct SelectionFormats {
        int start = -1;
        int end = -1;
        quint64 documentChanges = 0;
        QList<QTextCharFormat> formats;
        bool isFor(int from, int to, quint64 changes) const
        {
            return start == from && end == to && documentChanges == changes;
        }
    } selectionFormats;
    // The last format change of a selection whose formats were known, while it is the
    // newest step of the history: undoing or redoing it gives those formats back.
    struct SelectionFormatChange {
        int stepsBefore = -1;  // the undo steps available before it was done
        int stepsAfter = -1;   // and after
        int start = -1;
        int end = -1;
        QList<QTextCharFormat> before;
        QList<QTextCharFormat> after;
        bool keptOverlays = false;  // it made no link come or go
    } lastFormatChange;
};

}  // namespace engine
