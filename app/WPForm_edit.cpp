#include "app/WPForm.h"

#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAction>
#include <QToolButton>

void TfmPellWP::Edit1Click()
{
    UpdateControlStates();
}

// Brings the buttons and menu items in line with the editor's state. Each step reads
// the editor afresh; the read-only state is read at each use.
void TfmPellWP::UpdateControlStates()
{
    UpdateFormatBarStates();
    UpdatePasteStates();
    UpdateUndoRedoStates();
    const SelectionFacts facts = ReadSelectionFacts();
    UpdateSelectionCommandStates(facts);
}

void TfmPellWP::UpdatePasteStates()
{
    Paste1->setEnabled(RichEdit1->CanPaste() && !RichEdit1->ReadOnly());
    PasteButton->setEnabled(Paste1->isEnabled() && !RichEdit1->ReadOnly());
}

void TfmPellWP::UpdateUndoRedoStates()
{
    mmiUndo->setEnabled(RichEdit1->CanUndo());
    Redo1->setEnabled(RichEdit1->CanRedo());
    UndoButton->setEnabled(mmiUndo->isEnabled());
    RedoButton->setEnabled(Redo1->isEnabled());
}

TfmPellWP::SelectionFacts TfmPellWP::ReadSelectionFacts() const
{
    SelectionFacts facts;
    facts.hasSelection = RichEdit1->HasSelection();
    const TwwRichEditStrings &lines = *RichEdit1->Lines();
    facts.hasText = lines.Count() > 1 || (lines.Count() == 1 && !lines.Get(0).isEmpty());
    return facts;
}

void TfmPellWP::UpdateSelectionCommandStates(const SelectionFacts &facts)
{
    Cut1->setEnabled(facts.hasSelection && !RichEdit1->ReadOnly());
    CutButton->setEnabled(facts.hasSelection && !RichEdit1->ReadOnly());
    Copy1->setEnabled(facts.hasSelection);
    CopyButton->setEnabled(facts.hasSelection);
    Clear1->setEnabled(facts.hasSelection && !RichEdit1->ReadOnly());
    SelectAll1->setEnabled(facts.hasText);
    Find1->setEnabled(facts.hasText);
    FindButton->setEnabled(facts.hasText);
    FindNext1->setEnabled(RichEdit1->CanFindNext());
    Replace1->setEnabled(facts.hasText && !RichEdit1->ReadOnly());
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
