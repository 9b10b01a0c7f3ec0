#pragma once
#include "engine/view/displayhighlighter.h"
#include "engine/view/richeditview.h"

#include <QRect>
#include <QTextCharFormat>

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
    bool contentEdited = false;     // an edit is under way whose change is not yet reported
};

}  // namespace engine
