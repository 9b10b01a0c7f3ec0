#include "app/WPForm.h"

#include "richedit/wwcontrolstates.h"

#include <QAction>
#include <QFrame>
#include <QStatusBar>

void TfmPellWP::ShowToolbars(bool toolbarVisible, bool formatBarVisible)
{
    ShowBarPairs(ToolBarBevel, Toolbar, FormatBarBevel, FormatBar, toolbarVisible, formatBarVisible);
    Toolbar1->setChecked(toolbarVisible);
    FormatBar1->setChecked(formatBarVisible);
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
