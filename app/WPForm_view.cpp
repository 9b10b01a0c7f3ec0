#include "app/WPForm.h"

#include <QAction>
#include <QFrame>
#include <QStatusBar>

// Shows or hides the two bars with their lines. A bar and its line go together: shown
// line first, hidden bar first; the format bar's pair is hidden before, and shown after,
// the toolbar's pair, which keeps the order line, bar, line, bar from the top.
void TfmPellWP::ShowToolbars(bool toolbarVisible, bool formatBarVisible)
{
    const auto setToolbarPair = [&] {
        if (toolbarVisible) {
            ToolBarBevel->show();
            Toolbar->show();
        } else {
            Toolbar->hide();
            ToolBarBevel->hide();
        }
        Toolbar1->setChecked(toolbarVisible);
    };
    if (formatBarVisible) {
        setToolbarPair();
        FormatBarBevel->show();
        FormatBar->show();
        FormatBar1->setChecked(true);
    } else {
        FormatBar->hide();
        FormatBarBevel->hide();
        FormatBar1->setChecked(false);
        setToolbarPair();
    }
}

void TfmPellWP::Toolbar1Click()
{
    ShowToolbars(Toolbar->isHidden(), !FormatBar->isHidden());
    Toolbar1->setChecked(!Toolbar->isHidden());
}

void TfmPellWP::FormatBar1Click()
{
    ShowToolbars(!Toolbar->isHidden(), FormatBar->isHidden());
    FormatBar1->setChecked(!FormatBar->isHidden());
}

void TfmPellWP::StatusBar1Click()
{
    StatusBar->setVisible(StatusBar->isHidden());
    StatusBar1->setChecked(!StatusBar->isHidden());
}
