#include "richedit/wwrich.h"

#include "components/Wwdbcomb.h"
#include "platform/fontnames.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_ruler.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

// Showing the window: the content comes in, the options decide which menus, bars and
// buttons exist, the opening control's user buttons are borrowed, and the window takes
// its size for the screen.

namespace {

constexpr int kDesignPixelsPerInch = 96;

// What a read-only editor's window leaves out: it is a viewer.
constexpr TwwRichEditOptions kEditingOptions = TwwRichEditOptions(reoShowLoad) | reoShowSaveAs | reoShowSaveExit
                                               | reoShowFormatBar | reoShowToolBar | reoShowStatusBar
                                               | reoShowRuler;

// Hidden, and with it its shortcut, which then does nothing.
void showItem(QAction *item, bool visible)
{
    item->setVisible(visible);
    item->setEnabled(visible);
}

}  // namespace

void TwwRichEditForm::FormShow()
{
    PrepareColorMenu();
    FHintsShown = true;
    const bool sourceModified = FSource->Modified();
    FSource->CopyContentTo(RichEdit1);
    FSource->SetModified(sourceModified);
    RichEdit1->SetSelStart(FSourceSelStart);
    ShowDefaultCursor();
    RichEdit1->SetLeftTextInset(6);
    FillFontNameCombo();
    UpdateLockKeyPanels();
    UpdateControlStates();
    RichEdit1->SetModified(false);
    RemoveViewerOptions();
    ApplyOptionVisibility();
    BorrowUserButtons();
    if (!RichEdit1->EditorOptions().testFlag(reoFlatButtons))
        UseRaisedButtons();
    ScaleToScreen();
    SetCaptionsAndHints();
    RichEdit1->DoInitDialog(this);
    FormResize();
}

// The printer draws from the same font database as the screen, so every screen font
// qualifies also for printer-width layout.
void TwwRichEditForm::FillFontNameCombo()
{
    FontNameCombo->setItems(platform::screenFontNames());
}

void TwwRichEditForm::RemoveViewerOptions()
{
    if (RichEdit1->ReadOnly())
        RichEdit1->SetEditorOptions(RichEdit1->EditorOptions() & ~kEditingOptions);
}

void TwwRichEditForm::ApplyOptionVisibility()
{
    const TwwRichEditOptions options = RichEdit1->EditorOptions();
    const bool load = options.testFlag(reoShowLoad);
    const bool print = options.testFlag(reoShowPrint);
    const bool pageSetup = options.testFlag(reoShowPageSetup);
    const bool saveExit = options.testFlag(reoShowSaveExit);
    const bool insertObject =
        options.testFlag(reoShowInsertObject) && !RichEdit1->OleOptions().testFlag(reoDisableOLE);
    showItem(Load1, load);
    showItem(SaveAs1, options.testFlag(reoShowSaveAs));
    showItem(Print1, print);
    PrintButton->setVisible(print);
    showItem(InsertObject1, insertObject);
    Insert1->menuAction()->setVisible(insertObject);
    FileSep2->setVisible(print || pageSetup);
    showItem(PageSetup1, pageSetup);
    showItem(SaveExit1, saveExit);
    FileSep1->setVisible(load || saveExit);

    StatusBar->setVisible(options.testFlag(reoShowStatusBar));
    ShowBars(options.testFlag(reoShowToolBar), options.testFlag(reoShowFormatBar));
    FRuler->setVisible(options.testFlag(reoShowRuler));
    if (RichEdit1->ReadOnly()) {
        Format1->menuAction()->setVisible(false);
        View1->menuAction()->setVisible(false);
        NewButton->hide();
    }
    Toolbar1->setChecked(!Toolbar->isHidden());
    FormatBar1->setChecked(!FormatBar->isHidden());
    StatusBar1->setChecked(!StatusBar->isHidden());
    Ruler1->setChecked(!FRuler->isHidden());
}

// The opening control's buttons join the toolbar after the undo and redo buttons.
void TwwRichEditForm::BorrowUserButtons()
{
    QAbstractButton *const buttons[2] = {FSource->UserSpeedButton1(), FSource->UserSpeedButton2()};
    int left = UndoButton->x() + UndoButton->width() + 32;
    for (int i = 0; i < 2; ++i) {
        QAbstractButton *button = buttons[i];
        if (!button)
            continue;
        FUserButtons[i] = button;
        FUserButtonParents[i] = button->parentWidget();
        button->setParent(Toolbar);
        if (auto *tool = qobject_cast<QToolButton *>(button); tool && RichEdit1->EditorOptions().testFlag(reoFlatButtons))
            tool->setAutoRaise(true);
        button->setGeometry(left, UndoButton->y(), button->width(), UndoButton->height());
        button->show();
        left += button->width();
        UserButtonBevel->show();
    }
}

void TwwRichEditForm::GiveBackUserButtons()
{
    for (int i = 0; i < 2; ++i) {
        if (!FUserButtons[i])
            continue;
        FUserButtons[i]->setParent(FUserButtonParents[i]);
        FUserButtons[i]->hide();
        FUserButtons[i] = nullptr;
    }
}

// Raised buttons need a little more room; the separator lines go.
void TwwRichEditForm::UseRaisedButtons()
{
    for (auto [panel, growth, shift] : {std::tuple<QWidget *, int, int>{Toolbar, 4, 2}, {FormatBar, 2, 1}}) {
        panel->resize(panel->width(), panel->height() + growth);
        for (QToolButton *button : panel->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly)) {
            button->move(button->x(), button->y() + shift);
            button->setAutoRaise(false);
        }
        for (QFrame *line : panel->findChildren<QFrame *>(Qt::FindDirectChildrenOnly))
            if (line->property("separator").toBool())
                line->hide();
    }
}

void TwwRichEditForm::ScaleToScreen()
{
    const int dpi = logicalDpiY();
    resize(width() * dpi / kDesignPixelsPerInch, height() * dpi / kDesignPixelsPerInch);
    for (int i = 1; i < 4; ++i)
        StatusPanels[i]->resize(StatusPanels[i]->width() * dpi / kDesignPixelsPerInch, StatusPanels[i]->height());
    PlaceStatusPanels();
}

void TwwRichEditForm::FormClose()
{
    FHintsShown = false;
    GiveBackUserButtons();
}
