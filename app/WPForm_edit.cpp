#include "app/WPForm.h"

#include "richedit/wwcontrolstates.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QToolButton>

void TfmPellWP::Edit1Click()
{
    UpdateControlStates();
}

// Brings the buttons and menu items in line with the editor's state.
void TfmPellWP::UpdateControlStates()
{
    ::UpdateControlStates(*RichEdit1, StateControls());
}

void TfmPellWP::UpdatePasteStates()
{
    ::UpdatePasteStates(*RichEdit1, StateControls());
}

TwwStateControls TfmPellWP::StateControls() const
{
    return CollectStateControls(*this, mmiUndo);
}

void TfmPellWP::mmiUndoClick()
{
    RichEdit1->Undo();
    UpdateControlStates();
}

void TfmPellWP::Redo1Click()
{
    RichEdit1->Redo();
    UpdateControlStates();
}

void TfmPellWP::UndoButtonClick()
{
    mmiUndoClick();
}

void TfmPellWP::RedoButtonClick()
{
    Redo1Click();
}

void TfmPellWP::Cut1Click()
{
    RichEdit1->CutToClipboard();
}

void TfmPellWP::Copy1Click()
{
    RichEdit1->CopyToClipboard();
}

void TfmPellWP::Paste1Click()
{
    RichEdit1->PasteFromClipboard();
}

void TfmPellWP::Clear1Click()
{
    RichEdit1->ClearSelection();
}

void TfmPellWP::SelectAll1Click()
{
    RichEdit1->SelectAll();
}

void TfmPellWP::CutButtonClick()
{
    Cut1Click();
}

void TfmPellWP::CopyButtonClick()
{
    Copy1Click();
}

void TfmPellWP::PasteButtonClick()
{
    Paste1Click();
}

void TfmPellWP::InsertObject1Click()
{
    RichEdit1->InsertObject();
}
