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
    TwwStateControls controls;
    controls.BoldButton = BoldButton;
    controls.ItalicButton = ItalicButton;
    controls.UnderlineButton = UnderlineButton;
    controls.FontNameCombo = FontNameCombo;
    controls.FontSizeCombo = FontSizeCombo;
    controls.BulletButton = BulletButton;
    controls.BulletStyle1 = BulletStyle1;
    controls.LeftButton = LeftButton;
    controls.CenterButton = CenterButton;
    controls.RightButton = RightButton;
    controls.Paste1 = Paste1;
    controls.PasteButton = PasteButton;
    controls.Undo1 = mmiUndo;
    controls.Redo1 = Redo1;
    controls.UndoButton = UndoButton;
    controls.RedoButton = RedoButton;
    controls.Cut1 = Cut1;
    controls.CutButton = CutButton;
    controls.Copy1 = Copy1;
    controls.CopyButton = CopyButton;
    controls.Clear1 = Clear1;
    controls.SelectAll1 = SelectAll1;
    controls.Find1 = Find1;
    controls.FindButton = FindButton;
    controls.FindNext1 = FindNext1;
    controls.Replace1 = Replace1;
    return controls;
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
