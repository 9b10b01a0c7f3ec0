#include "richedit/wwrich.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "richedit/wwTrackIcon.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_ruler.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QToolButton>

// The designed controls of the editor window and the resize layout that stacks the bars,
// the ruler, the editor and the status bar.

namespace {

constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kBevelHeight = 2;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusPanelWidths[4] = {300, 32, 32, 18};
constexpr bool kStatusPanelBevels[4] = {false, true, true, false};

QFrame *bevel(QWidget *parent, const char *name, int top)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(0, top, parent->width(), kBevelHeight);
    return line;
}

QWidget *bar(QWidget *parent, const char *name, int top, int height)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(0, top, parent->width(), height);
    return panel;
}

}  // namespace

void TwwRichEditForm::BuildClientArea()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    FClient = new QWidget(this);
    FClient->setObjectName(QStringLiteral("ClientArea"));
    PlaceClientArea();
    ToolBarBevel = bevel(FClient, "ToolBarBevel", 0);
    Toolbar = bar(FClient, "Toolbar", 2, 24);
    FormatBarBevel = bevel(FClient, "FormatBarBevel", 26);
    FormatBar = bar(FClient, "FormatBar", 28, 26);
    RulerBevel = bevel(FClient, "RulerBevel", 54);
    BuildToolbar();
    BuildFormatBar();
    BuildStatusBar();
}

// The menu bar on top, the client area below it.
void TwwRichEditForm::PlaceClientArea()
{
    const int menuHeight = MainMenu1->isHidden() ? 0 : MainMenu1->sizeHint().height();
    MainMenu1->setGeometry(0, 0, width(), menuHeight);
    FClient->setGeometry(0, menuHeight, width(), height() - menuHeight);
}

QFrame *TwwRichEditForm::AddBarSeparator(QWidget *bar, const char *name, int left)
{
    auto *line = new QFrame(bar);
    line->setObjectName(QLatin1String(name));
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setGeometry(left, 1, 2, kButtonHeight);
    line->setProperty("separator", true);
    return line;
}

QToolButton *TwwRichEditForm::AddSpeedButton(QWidget *bar, const char *name, int left, int top, Glyph glyph)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left, top, kButtonWidth, kButtonHeight);
    return button;
}

void TwwRichEditForm::BuildToolbar()
{
    NewButton = AddSpeedButton(Toolbar, "NewButton", 7, 1, Glyph::New);
    PrintButton = AddSpeedButton(Toolbar, "PrintButton", 31, 1, Glyph::Print);
    AddBarSeparator(Toolbar, "ToolbarSep1", 57);
    FindButton = AddSpeedButton(Toolbar, "FindButton", 63, 1, Glyph::Find);
    AddBarSeparator(Toolbar, "ToolbarSep2", 89);
    CutButton = AddSpeedButton(Toolbar, "CutButton", 94, 1, Glyph::Cut);
    CopyButton = AddSpeedButton(Toolbar, "CopyButton", 117, 1, Glyph::Copy);
    PasteButton = AddSpeedButton(Toolbar, "PasteButton", 140, 1, Glyph::Paste);
    AddBarSeparator(Toolbar, "ToolbarSep3", 166);
    UndoButton = AddSpeedButton(Toolbar, "UndoButton", 171, 1, Glyph::Undo);
    RedoButton = AddSpeedButton(Toolbar, "RedoButton", 194, 1, Glyph::Redo);
    UserButtonBevel = AddBarSeparator(Toolbar, "UserButtonBevel", 220);
    UserButtonBevel->hide();
    // Their hints serve the Load and Save As menu items; the buttons themselves never show.
    LoadButton1 = AddSpeedButton(Toolbar, "LoadButton1", 415, 3, Glyph::Open);
    SaveAsButton = AddSpeedButton(Toolbar, "SaveAsButton", 437, 3, Glyph::Save);
    for (QToolButton *button : {LoadButton1, SaveAsButton}) {
        button->setAutoRaise(false);
        button->resize(22, 22);
        button->hide();
    }
}

void TwwRichEditForm::BuildFormatBar()
{
    FontNameCombo = new TwwDBComboBox(FormatBar);
    FontNameCombo->setObjectName(QStringLiteral("FontNameCombo"));
    FontNameCombo->setGeometry(6, 2, 241, kButtonHeight);
    FontNameCombo->setSorted(true);
    FontNameCombo->setDropDownCount(20);
    FontSizeCombo = new TwwDBComboBox(FormatBar);
    FontSizeCombo->setObjectName(QStringLiteral("FontSizeCombo"));
    FontSizeCombo->setGeometry(255, 2, 50, kButtonHeight);
    FontSizeCombo->setDropDownCount(8);
    FontSizeCombo->setItems(FontSizeItems());

    BoldButton = AddSpeedButton(FormatBar, "BoldButton", 313, 2, Glyph::Bold);
    ItalicButton = AddSpeedButton(FormatBar, "ItalicButton", 336, 2, Glyph::Italic);
    UnderlineButton = AddSpeedButton(FormatBar, "UnderlineButton", 359, 2, Glyph::Underline);
    SpeedButton1 = AddSpeedButton(FormatBar, "SpeedButton1", 382, 2, Glyph::TextColour);
    AddBarSeparator(FormatBar, "FormatBarSep1", 408);
    LeftButton = AddSpeedButton(FormatBar, "LeftButton", 413, 2, Glyph::AlignLeft);
    CenterButton = AddSpeedButton(FormatBar, "CenterButton", 436, 2, Glyph::AlignCenter);
    RightButton = AddSpeedButton(FormatBar, "RightButton", 459, 2, Glyph::AlignRight);
    AddBarSeparator(FormatBar, "FormatBarSep2", 485);
    BulletButton = AddSpeedButton(FormatBar, "BulletButton", 490, 2, Glyph::Bullets);

    AlignmentGroup = MakeFormatBarToggles(this, StateControls());
}

void TwwRichEditForm::BuildStatusBar()
{
    StatusBar = new QFrame(FClient);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setGeometry(0, FClient->height() - kStatusBarHeight, FClient->width(), kStatusBarHeight);
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(kStatusPanelBevels[i] ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        panel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        panel->setIndent(2);
        panel->resize(kStatusPanelWidths[i], kStatusBarHeight);
        StatusPanels[i] = panel;
    }
    PlaceStatusPanels();
}

void TwwRichEditForm::PlaceStatusPanels()
{
    int left = 0;
    for (QLabel *panel : StatusPanels) {
        panel->setGeometry(left, 0, panel->width(), kStatusBarHeight);
        left += panel->width();
    }
}

void TwwRichEditForm::Bind(QAction *item, Handler handler)
{
    connect(item, &QAction::triggered, this, [this, handler] { RunHandler(handler); });
}

void TwwRichEditForm::Bind(QAbstractButton *button, Handler handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] { RunHandler(handler); });
}

void TwwRichEditForm::BindCommands()
{
    Bind(Load1, &TwwRichEditForm::Load1Click);
    Bind(SaveAs1, &TwwRichEditForm::SaveAs1Click);
    Bind(SaveExit1, &TwwRichEditForm::SaveExit1Click);
    Bind(Print1, &TwwRichEditForm::Print1Click);
    Bind(PageSetup1, &TwwRichEditForm::PageSetup1Click);
    Bind(Exit1, &TwwRichEditForm::Exit1Click);
    Bind(Undo1, &TwwRichEditForm::Undo1Click);
    Bind(Redo1, &TwwRichEditForm::Redo1Click);
    Bind(Cut1, &TwwRichEditForm::Cut1Click);
    Bind(Copy1, &TwwRichEditForm::Copy1Click);
    Bind(Paste1, &TwwRichEditForm::Paste1Click);
    Bind(Clear1, &TwwRichEditForm::Clear1Click);
    Bind(SelectAll1, &TwwRichEditForm::SelectAll1Click);
    Bind(Find1, &TwwRichEditForm::Find1Click);
    Bind(FindNext1, &TwwRichEditForm::FindNext1Click);
    Bind(Replace1, &TwwRichEditForm::Replace1Click);
    Bind(InsertObject1, &TwwRichEditForm::InsertObject1Click);
    Bind(Toolbar1, &TwwRichEditForm::Toolbar1Click);
    Bind(FormatBar1, &TwwRichEditForm::FormatBar1Click);
    Bind(StatusBar1, &TwwRichEditForm::StatusBar1Click);
    Bind(Ruler1, &TwwRichEditForm::Ruler1Click);
    Bind(Font1, &TwwRichEditForm::Font1Click);
    Bind(Paragraph1, &TwwRichEditForm::Paragraph1Click);
    Bind(Tabs1, &TwwRichEditForm::Tabs1Click);

    Bind(NewButton, &TwwRichEditForm::NewButtonClick);
    Bind(LoadButton1, &TwwRichEditForm::Load1Click);
    Bind(SaveAsButton, &TwwRichEditForm::SaveAs1Click);
    Bind(PrintButton, &TwwRichEditForm::Print1Click);
    Bind(FindButton, &TwwRichEditForm::Find1Click);
    Bind(CutButton, &TwwRichEditForm::Cut1Click);
    Bind(CopyButton, &TwwRichEditForm::Copy1Click);
    Bind(PasteButton, &TwwRichEditForm::Paste1Click);
    Bind(UndoButton, &TwwRichEditForm::Undo1Click);
    Bind(RedoButton, &TwwRichEditForm::Redo1Click);
    Bind(SpeedButton1, &TwwRichEditForm::SpeedButton1Click);
    BindFormatCommands();
    // A copy, or another program, fills the clipboard without any change in the editor.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (RichEdit1)
            RunHandler(&TwwRichEditForm::UpdateControlStates);
    });
}

// ---- Bars ----

void TwwRichEditForm::ShowBars(bool toolbarVisible, bool formatBarVisible)
{
    ShowBarPairs(ToolBarBevel, Toolbar, FormatBarBevel, FormatBar, toolbarVisible, formatBarVisible);
}

void TwwRichEditForm::Toolbar1Click()
{
    ShowBars(Toolbar->isHidden(), !FormatBar->isHidden());
    Toolbar1->setChecked(!Toolbar->isHidden());
    FormResize();
}

void TwwRichEditForm::FormatBar1Click()
{
    ShowBars(!Toolbar->isHidden(), FormatBar->isHidden());
    FormatBar1->setChecked(!FormatBar->isHidden());
    FormResize();
}

void TwwRichEditForm::StatusBar1Click()
{
    StatusBar->setVisible(StatusBar->isHidden());
    StatusBar1->setChecked(!StatusBar->isHidden());
    FormResize();
}

void TwwRichEditForm::Ruler1Click()
{
    FRuler->setVisible(FRuler->isHidden());
    Ruler1->setChecked(!FRuler->isHidden());
    FormResize();
}

// ---- The resize layout ----

// The visible bars from the top, each below its line; the height they take.
int TwwRichEditForm::StackBars()
{
    int top = 0;
    for (auto [line, panel] : {std::pair<QWidget *, QWidget *>{ToolBarBevel, Toolbar}, {FormatBarBevel, FormatBar}}) {
        line->resize(FClient->width(), kBevelHeight);
        panel->resize(FClient->width(), panel->height());
        if (panel->isHidden())
            continue;
        line->move(0, top);
        panel->move(0, top + kBevelHeight);
        top += panel->height() + kBevelHeight;
    }
    return top;
}

// Painting stays off while the pieces move; a failure is reported and the window goes on.
void TwwRichEditForm::FormResize()
{
    if (!RichEdit1 || !FRuler)
        return;
    RichEdit1->SetPaintSuppressed(true);
    try {
        LayOutEditor();
    } catch (...) {
        RichEdit1->SetPaintSuppressed(false);
        platform::dialogs().messageBox(this, platform::applicationTitle(), QStringLiteral("Error in resize"),
                                       platform::MessageIcon::None, platform::MessageButtons::OK);
    }
}

void TwwRichEditForm::LayOutEditor()
{
    TwwCustomRichEdit *E = RichEdit1;
    const int width = FClient->width();
    if (E->EditWidth() == rewWindowSize) {
        FRuler->resize(width, FRuler->height());
        }
    StatusPanels[0]->resize(width - 90 * logicalDpiY() / 96, StatusPanels[0]->height());
    PlaceStatusPanels();

    int top = StackBars();
    RulerBevel->resize(width, kBevelHeight);
    if (!FRuler->isHidden()) {
        RulerBevel->move(0, top);
        FRuler->move(FRuler->x(), top + kBevelHeight);
        top += FRuler->height() + kBevelHeight;
    }
    const int height = FClient->height() - top - (StatusBar->isHidden() ? 0 : StatusBar->height());
    E->setGeometry(E->x(), top, width, height);

    TwwTrackIcon *right = FRuler->RightMarker();
    right->SetMaxValue(FRuler->RulerRight() - right->width() / 2);
    FRuler->SyncMarkers();
    if (!StatusBar->isHidden())
        StatusBar->setGeometry(0, top + height, width, StatusBar->height());

    E->UpdateFormatRect();
    if (E->EditWidth() == rewPrinterSize) {
        E->resize(E->width() + 1, E->height());
        E->resize(E->width() - 1, E->height());
    }
    E->SetPaintSuppressed(false);
    E->viewport()->update();
}
