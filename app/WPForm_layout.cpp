#include "app/WPForm.h"

#include "platform/application.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kBarHeight = 26;
constexpr int kButtonTop = 1;
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 24;

QFrame *horizontalBevel(QWidget *parent, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setFixedHeight(2);
    return line;
}

QWidget *bar(QWidget *parent, const char *name)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFixedHeight(kBarHeight);
    return panel;
}

}  // namespace

void TfmPellWP::BuildLayout()
{
    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBarBevel = horizontalBevel(client, "ToolBarBevel");
    Toolbar = bar(client, "Toolbar");
    FormatBarBevel = horizontalBevel(client, "FormatBarBevel");
    FormatBar = bar(client, "FormatBar");
    RichEdit1 = new TwwDBRichEdit(client);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    for (QWidget *piece : {static_cast<QWidget *>(ToolBarBevel), Toolbar,
                           static_cast<QWidget *>(FormatBarBevel), FormatBar})
        column->addWidget(piece);
    column->addWidget(RichEdit1, 1);
    setCentralWidget(client);

    BuildToolbar();
    BuildFormatBar();
    BuildStatusBar();
}

QFrame *TfmPellWP::AddBarSeparator(QWidget *bar, const char *name, int left, int width)
{
    auto *line = new QFrame(bar);
    line->setObjectName(QLatin1String(name));
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setGeometry(left, kButtonTop, width, kButtonHeight);
    return line;
}

QToolButton *TfmPellWP::AddSpeedButton(QWidget *bar, const char *name, int left, Glyph glyph,
                                       const QString &hint)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setEnabled(false);  // Bind() enables the buttons that have a command
    return button;
}

void TfmPellWP::BuildToolbar()
{
    NewButton = AddSpeedButton(Toolbar, "NewButton", 9, Glyph::New, QStringLiteral("New"));
    LoadButton1 = AddSpeedButton(Toolbar, "LoadButton1", 35, Glyph::Open, QStringLiteral("Open"));
    SaveAsButton = AddSpeedButton(Toolbar, "SaveAsButton", 62, Glyph::Save, QStringLiteral("Save"));
    PrintButton = AddSpeedButton(Toolbar, "PrintButton", 90, Glyph::Print, QStringLiteral("Print"));
    AddBarSeparator(Toolbar, "Bevel1", 118, 3);
    FindButton = AddSpeedButton(Toolbar, "FindButton", 126, Glyph::Find, QStringLiteral("Find"));
    AddBarSeparator(Toolbar, "ToolbarBevel1", 154, 2);
    CutButton = AddSpeedButton(Toolbar, "CutButton", 160, Glyph::Cut, QStringLiteral("Cut"));
    CopyButton = AddSpeedButton(Toolbar, "CopyButton", 184, Glyph::Copy, QStringLiteral("Copy"));
    PasteButton = AddSpeedButton(Toolbar, "PasteButton", 208, Glyph::Paste, QStringLiteral("Paste"));
    AddBarSeparator(Toolbar, "Bevel2", 236, 3);
    UndoButton = AddSpeedButton(Toolbar, "UndoButton", 242, Glyph::Undo, QStringLiteral("Undo"));
    RedoButton = AddSpeedButton(Toolbar, "RedoButton", 267, Glyph::Redo, QStringLiteral("Redo"));
    UserButtonBevel = AddBarSeparator(Toolbar, "UserButtonBevel", 295, 2);
    UserButtonBevel->hide();
}

void TfmPellWP::BuildFormatBar()
{
    BuildFormatBarBoxes();
    AddBarSeparator(FormatBar, "Bevel3", 210, 3);
    AddBarSeparator(FormatBar, "Bevel6", 280, 3);
    BoldButton = AddSpeedButton(FormatBar, "BoldButton", 287, Glyph::Bold, QStringLiteral("Bold"));
    ItalicButton = AddSpeedButton(FormatBar, "ItalicButton", 312, Glyph::Italic, QStringLiteral("Italic"));
    UnderlineButton =
        AddSpeedButton(FormatBar, "UnderlineButton", 336, Glyph::Underline, QStringLiteral("Underline"));
    AddBarSeparator(FormatBar, "Bevel7", 362, 3);
    AddBarSeparator(FormatBar, "Bevel5", 498, 3);
    LeftButton = AddSpeedButton(FormatBar, "LeftButton", 504, Glyph::AlignLeft, QStringLiteral("Left Justified"));
    CenterButton =
        AddSpeedButton(FormatBar, "CenterButton", 529, Glyph::AlignCenter, QStringLiteral("Center Justified"));
    RightButton =
        AddSpeedButton(FormatBar, "RightButton", 553, Glyph::AlignRight, QStringLiteral("Right Justified"));
    AddBarSeparator(FormatBar, "Bevel4", 581, 2);
    BulletButton = AddSpeedButton(FormatBar, "BulletButton", 587, Glyph::Bullets, QStringLiteral("Bullets"));

    AlignmentGroup = MakeFormatBarToggles(this, StateControls());
}

void TfmPellWP::BuildStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFixedHeight(23);
    const int widths[5] = {300, 100, 60, 60, 50};
    for (int i = 0; i < 5; ++i) {
        auto *panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(Qt::AlignVCenter | (i == 1 ? Qt::AlignHCenter : Qt::AlignLeft));
        panel->setIndent(2);
        StatusBar->addWidget(panel);
        StatusPanels[i] = panel;
    }
    setStatusBar(StatusBar);
}

QAction *TfmPellWP::AddMenuItem(QMenu *menu, const char *name, const QString &caption,
                                const QKeySequence &shortcut)
{
    auto *item = new QAction(caption, this);
    item->setObjectName(QLatin1String(name));
    item->setEnabled(false);  // Bind() enables the items that have a command
    menu->addAction(item);
    if (!shortcut.isEmpty())
        FMenuKeys->setShortcut(item, shortcut);
    return item;
}

void TfmPellWP::BuildMenus()
{
    FMenuKeys = std::make_unique<MenuKeyDispatcher>(menuBar());
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildInsertAndFormatMenus();
    Help1 = menuBar()->addMenu(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    About1 = AddMenuItem(Help1, "About1", QStringLiteral("&About..."));
}

void TfmPellWP::BuildFileMenu()
{
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    mmiNew = AddMenuItem(File1, "mmiNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mmiRecent = File1->addMenu(QStringLiteral("Recent"));
    mmiRecent->setObjectName(QStringLiteral("mmiRecent"));
    mmiRecent->menuAction()->setObjectName(QStringLiteral("mmiRecentItem"));
    mmiRecent->menuAction()->setEnabled(false);
    mmiOpen = AddMenuItem(File1, "mmiOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    File1->addSeparator()->setObjectName(QStringLiteral("FileSep1"));
    mmiSave = AddMenuItem(File1, "mmiSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mmiSaveAs = AddMenuItem(File1, "mmiSaveAs", QStringLiteral("Save &As..."));
    File1->addSeparator()->setObjectName(QStringLiteral("FileSep2"));
    mmiPageSetup = AddMenuItem(File1, "mmiPageSetup", QStringLiteral("Page Set&up..."));
    mmiPrint = AddMenuItem(File1, "mmiPrint", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    File1->addSeparator()->setObjectName(QStringLiteral("N1"));
    mmiExit = AddMenuItem(File1, "mmiExit", QStringLiteral("E&xit"));
}

void TfmPellWP::BuildEditMenu()
{
    Edit1 = menuBar()->addMenu(QStringLiteral("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    FMenuKeys->setShortcut(Edit1->menuAction(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    FMenuKeys->setMenuClick(Edit1, [this] { RunHandler(&TfmPellWP::Edit1Click); });
    mmiUndo = AddMenuItem(Edit1, "mmiUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = AddMenuItem(Edit1, "Redo1", QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    Edit1->addSeparator()->setObjectName(QStringLiteral("EditSep1"));
    Cut1 = AddMenuItem(Edit1, "Cut1", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = AddMenuItem(Edit1, "Copy1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = AddMenuItem(Edit1, "Paste1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    Edit1->addSeparator()->setObjectName(QStringLiteral("N2"));
    Clear1 = AddMenuItem(Edit1, "Clear1", QStringLiteral("Cle&ar"), QKeySequence(Qt::Key_Delete));
    // Without a selection the Delete key belongs to the editor, which deletes the
    // character after the caret.
    FMenuKeys->setPassKeyWhenDisabled(Clear1);
    SelectAll1 = AddMenuItem(Edit1, "SelectAll1", QStringLiteral("Select A&ll"), QKeySequence(Qt::CTRL | Qt::Key_A));
    Edit1->addSeparator()->setObjectName(QStringLiteral("EditSep2"));
    Find1 = AddMenuItem(Edit1, "Find1", QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNext1 = AddMenuItem(Edit1, "FindNext1", QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3));
    Replace1 = AddMenuItem(Edit1, "Replace1", QStringLiteral("R&eplace..."), QKeySequence(Qt::CTRL | Qt::Key_H));
}

void TfmPellWP::BuildViewMenu()
{
    View1 = menuBar()->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    Toolbar1 = AddMenuItem(View1, "Toolbar1", QStringLiteral("&Toolbar"));
    FormatBar1 = AddMenuItem(View1, "FormatBar1", QStringLiteral("&Format Bar"));
    StatusBar1 = AddMenuItem(View1, "StatusBar1", QStringLiteral("&Status Bar"));
    for (QAction *item : {Toolbar1, FormatBar1, StatusBar1}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
}

void TfmPellWP::BuildInsertAndFormatMenus()
{
    Insert1 = menuBar()->addMenu(QStringLiteral("&Insert"));
    Insert1->setObjectName(QStringLiteral("Insert1"));
    DateandTime1 = AddMenuItem(Insert1, "DateandTime1", QStringLiteral("Date and &Time..."));
    InsertObject1 = AddMenuItem(Insert1, "InsertObject1", QStringLiteral("&Object..."));

    Format1 = menuBar()->addMenu(QStringLiteral("F&ormat"));
    Format1->setObjectName(QStringLiteral("Format1"));
    Font1 = AddMenuItem(Format1, "Font1", QStringLiteral("&Font..."));
    Paragraph1 = AddMenuItem(Format1, "Paragraph1", QStringLiteral("&Paragraph..."));
    BulletStyle1 = AddMenuItem(Format1, "BulletStyle1", QStringLiteral("&Bullets"));
    BulletStyle1->setCheckable(true);
    Tabs1 = AddMenuItem(Format1, "Tabs1", QStringLiteral("&Tabs..."));
}

void TfmPellWP::ConfigureEditor()
{
    RichEdit1->SetScrollBars(ssVertical);
    RichEdit1->SetAutoURLDetect(false);
    RichEdit1->SetWantTabs(true);
    RichEdit1->SetPopupOptions(TwwRichEditPopupOptions(0x3FFF) & ~TwwRichEditPopupOptions(rpoPopupEdit));
    RichEdit1->SetEditorOptions(TwwRichEditOptions(0x1FFF) & ~TwwRichEditOptions(reoShowRuler));
    RichEdit1->SetEditorCaption(QStringLiteral("Edit Rich Text"));
    RichEdit1->SetMeasurementUnits(muInches);
    RichEdit1->SetPrintMargins(TwwPrintMargins{1.0, 1.0, 1.0, 1.0});
    RichEdit1->SetEditWidth(rewWindowSize);
    RichEdit1->SetRichEditVersion(2);
    RichEdit1->SetPrintJobName(QStringLiteral("Penhaven Word Processor document"));
    // The editor takes the window's designed font, MS Sans Serif 8 pt, as its default
    // format: what is typed into a new document. The rest of the window keeps the
    // desktop's font, which is readable where that face is missing.
    RichEdit1->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    LoadInitialContent();
    RichEdit1->OnChange = [this](TwwCustomRichEdit *) { RunHandler(&TfmPellWP::RichEdit1Change); };
    RichEdit1->OnSelectionChange = [this](TwwCustomRichEdit *) {
        RunHandler(&TfmPellWP::RichEdit1SelectionChange);
    };
}

// An empty paragraph in the editor's font, in British English (language 2057).
void TfmPellWP::LoadInitialContent()
{
    constexpr int kBritishEnglish = 2057;
    RichEdit1->StartEmptyDocument(kBritishEnglish);
}

void TfmPellWP::RunHandler(Handler handler)
{
    platform::runGuarded([this, handler] { (this->*handler)(); });
}

void TfmPellWP::Bind(QAction *item, Handler handler)
{
    item->setEnabled(true);
    connect(item, &QAction::triggered, this, [this, handler] { RunHandler(handler); });
}

void TfmPellWP::Bind(QAbstractButton *button, Handler handler)
{
    button->setEnabled(true);
    connect(button, &QAbstractButton::clicked, this, [this, handler] { RunHandler(handler); });
}

// Connects every control that has a command now; the others stay disabled.
void TfmPellWP::BindCommands()
{
    Bind(mmiNew, &TfmPellWP::FileNew);
    Bind(mmiOpen, &TfmPellWP::FileOpen);
    Bind(mmiSave, &TfmPellWP::FileSave);
    Bind(mmiSaveAs, &TfmPellWP::FileSaveAs);
    Bind(mmiPageSetup, &TfmPellWP::mmiPageSetupClick);
    Bind(mmiPrint, &TfmPellWP::mmiPrintClick);
    Bind(PrintButton, &TfmPellWP::mmiPrintClick);
    Bind(mmiExit, &TfmPellWP::mmiExitClick);

    Bind(mmiUndo, &TfmPellWP::mmiUndoClick);
    Bind(Redo1, &TfmPellWP::Redo1Click);
    Bind(Cut1, &TfmPellWP::Cut1Click);
    Bind(Copy1, &TfmPellWP::Copy1Click);
    Bind(Paste1, &TfmPellWP::Paste1Click);
    Bind(Clear1, &TfmPellWP::Clear1Click);
    Bind(SelectAll1, &TfmPellWP::SelectAll1Click);
    Bind(Find1, &TfmPellWP::Find1Click);
    Bind(FindNext1, &TfmPellWP::FindNext1Click);
    Bind(Replace1, &TfmPellWP::Replace1Click);
    Bind(DateandTime1, &TfmPellWP::DateandTime1Click);
    Bind(InsertObject1, &TfmPellWP::InsertObject1Click);

    Bind(Toolbar1, &TfmPellWP::Toolbar1Click);
    Bind(FormatBar1, &TfmPellWP::FormatBar1Click);
    Bind(StatusBar1, &TfmPellWP::StatusBar1Click);
    Bind(About1, &TfmPellWP::About1Click);

    Bind(NewButton, &TfmPellWP::FileNew);
    Bind(LoadButton1, &TfmPellWP::FileOpen);
    Bind(SaveAsButton, &TfmPellWP::FileSave);
    Bind(FindButton, &TfmPellWP::Find1Click);
    Bind(CutButton, &TfmPellWP::CutButtonClick);
    Bind(CopyButton, &TfmPellWP::CopyButtonClick);
    Bind(PasteButton, &TfmPellWP::PasteButtonClick);
    Bind(UndoButton, &TfmPellWP::UndoButtonClick);
    Bind(RedoButton, &TfmPellWP::RedoButtonClick);
    // A copy, or another program, fills the clipboard without any change in the editor.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { RunHandler(&TfmPellWP::UpdatePasteStates); });

    BindFormatCommands();
}
