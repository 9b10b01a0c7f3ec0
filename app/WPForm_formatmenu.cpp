#include "app/WPForm.h"

#include "richedit/wwriched.h"

#include <QAction>

// The Format menu's dialogs belong to the editor: each command calls the editor's
// operation, so that a descendant control's own dialog is the one shown.

void TfmPellWP::BindFormatMenuDialogs()
{
    Bind(Font1, &TfmPellWP::Font1Click);
    Bind(Paragraph1, &TfmPellWP::Paragraph1Click);
    Bind(Tabs1, &TfmPellWP::Tabs1Click);
}

// A new font changes what the format bar shows.
void TfmPellWP::Font1Click()
{
    RichEdit1->ExecuteFontDialog();
    UpdateControlStates();
}

// A new alignment changes which alignment button is down.
void TfmPellWP::Paragraph1Click()
{
    if (RichEdit1->ExecuteParagraphDialog())
        UpdateControlStates();
}

void TfmPellWP::Tabs1Click()
{
    RichEdit1->ExecuteTabDialog();
}
