#include "richedit/wwrich.h"

#include "components/Wwdbcomb.h"
#include "platform/menukeys.h"
#include "richedit/Wwintl.h"
#include "richedit/wwdialogform.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

// The main menu with its designed captions and shortcuts, and the captions and hints the
// text table gives the menus and buttons when the window is shown.

namespace {

// The long part of a two-part hint, which the status bar shows.
QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1).trimmed();
}

}  // namespace

QMenu *TwwRichEditForm::AddMenu(const char *name, const QString &caption)
{
    QMenu *menu = MainMenu1->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction *TwwRichEditForm::AddMenuItem(QMenu *menu, const char *name, const QString &caption,
                                      const QKeySequence &key)
{
    auto *item = new QAction(caption, this);
    item->setObjectName(QLatin1String(name));
    menu->addAction(item);
    if (!key.isEmpty())
        FMenuKeys->setShortcut(item, key);
    return item;
}

void TwwRichEditForm::BuildMenus()
{
    FMenuKeys = std::make_unique<MenuKeyDispatcher>(MainMenu1);
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildInsertFormatAndHelpMenus();
}

void TwwRichEditForm::BuildFileMenu()
{
    File1 = AddMenu("File1", QStringLiteral("&File"));
    Load1 = AddMenuItem(File1, "Load1", QStringLiteral("&Load"));
    SaveAs1 = AddMenuItem(File1, "SaveAs1", QStringLiteral("Save &As"));
    SaveExit1 = AddMenuItem(File1, "SaveExit1", QStringLiteral("&Save and Exit"), QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSep1 = File1->addSeparator();
    FileSep1->setObjectName(QStringLiteral("FileSep1"));
    Print1 = AddMenuItem(File1, "Print1", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    PageSetup1 = AddMenuItem(File1, "PageSetup1", QStringLiteral("Page Set&up"));
    FileSep2 = File1->addSeparator();
    FileSep2->setObjectName(QStringLiteral("FileSep2"));
    Exit1 = AddMenuItem(File1, "Exit1", QStringLiteral("E&xit"));
}

// The Edit title carries Ctrl+Z itself: the key refreshes the states, and the undo runs
// when Z comes up (wwrich_keys.cpp).
void TwwRichEditForm::BuildEditMenu()
{
    Edit1 = AddMenu("Edit1", QStringLiteral("&Edit"));
    FMenuKeys->setShortcut(Edit1->menuAction(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    FMenuKeys->setMenuClick(Edit1, [this] { RunHandler(&TwwRichEditForm::Edit1Click); });
    Undo1 = AddMenuItem(Edit1, "Undo1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = AddMenuItem(Edit1, "Redo1", QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    Edit1->addSeparator()->setObjectName(QStringLiteral("EditSep1"));
    Cut1 = AddMenuItem(Edit1, "Cut1", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = AddMenuItem(Edit1, "Copy1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = AddMenuItem(Edit1, "Paste1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    Clear1 = AddMenuItem(Edit1, "Clear1", QStringLiteral("Cle&ar"));
    SelectAll1 = AddMenuItem(Edit1, "SelectAll1", QStringLiteral("Select A&ll"), QKeySequence(Qt::CTRL | Qt::Key_A));
    Edit1->addSeparator()->setObjectName(QStringLiteral("EditSep2"));
    Find1 = AddMenuItem(Edit1, "Find1", QStringLiteral("&Find"), QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNext1 = AddMenuItem(Edit1, "FindNext1", QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3));
    Replace1 = AddMenuItem(Edit1, "Replace1", QStringLiteral("R&eplace"), QKeySequence(Qt::CTRL | Qt::Key_H));
}

void TwwRichEditForm::BuildViewMenu()
{
    View1 = AddMenu("View1", QStringLiteral("&View"));
    Toolbar1 = AddMenuItem(View1, "Toolbar1", QStringLiteral("&Toolbar"));
    FormatBar1 = AddMenuItem(View1, "FormatBar1", QStringLiteral("&Format Bar"));
    StatusBar1 = AddMenuItem(View1, "StatusBar1", QStringLiteral("&Status Bar"));
    Ruler1 = AddMenuItem(View1, "Ruler1", QStringLiteral("&Ruler"));
    for (QAction *item : {Toolbar1, FormatBar1, StatusBar1, Ruler1}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    OptionsSep = View1->addSeparator();
    OptionsSep->setObjectName(QStringLiteral("OptionsSep"));
    Options1 = AddMenuItem(View1, "Options1", QStringLiteral("&Options"));
    OptionsSep->setVisible(false);
    Options1->setVisible(false);
}

void TwwRichEditForm::BuildInsertFormatAndHelpMenus()
{
    Insert1 = AddMenu("Insert1", QStringLiteral("&Insert"));
    DateandTime1 = AddMenuItem(Insert1, "DateandTime1", QStringLiteral("Date and Time"));
    DateandTime1->setVisible(false);
    InsertObject1 = AddMenuItem(Insert1, "InsertObject1", QStringLiteral("&Object..."));

    Format1 = AddMenu("Format1", QStringLiteral("F&ormat"));
    Font1 = AddMenuItem(Format1, "Font1", QStringLiteral("&Font"));
    BulletStyle1 = AddMenuItem(Format1, "BulletStyle1", QStringLiteral("&Bullet Style"));
    BulletStyle1->setCheckable(true);
    Paragraph1 = AddMenuItem(Format1, "Paragraph1", QStringLiteral("&Paragraph"));
    Tabs1 = AddMenuItem(Format1, "Tabs1", QStringLiteral("&Tabs"));

    Help1 = AddMenu("Help1", QStringLiteral("Help"));
    Help1->menuAction()->setVisible(false);
}

// ---- Captions and hints from the text table ----

void TwwRichEditForm::SetCaptionsAndHints()
{
    if (RichEdit1->EditorOptions().testFlag(reoShowHints)) {
        SetControlHints();
        SetMenuHints();
    } else {
        FHintsShown = false;  // the status bar shows no hints while the window is open
    }
    SetMenuCaptions();
}

void TwwRichEditForm::SetControlHints()
{
    const TwwDBRichEditIntl &texts = RichEditTexts();
    FontNameCombo->setHint(texts.FontNameComboHint);
    FontNameCombo->setShowHint(true);
    FontSizeCombo->setHint(texts.FontSizeComboHint);
    FontSizeCombo->setShowHint(true);
    const std::pair<QToolButton *, const QString &> buttons[] = {
        {NewButton, texts.NewButtonHint},       {LoadButton1, texts.LoadButtonHint},
        {SaveAsButton, texts.SaveAsButtonHint}, {PrintButton, texts.PrintButtonHint},
        {FindButton, texts.FindButtonHint},     {CutButton, texts.CutButtonHint},
        {CopyButton, texts.CopyButtonHint},     {UndoButton, texts.UndoButtonHint},
        {PasteButton, texts.PasteButtonHint},   {BoldButton, texts.BoldButtonHint},
        {UnderlineButton, texts.UnderlineButtonHint}, {ItalicButton, texts.ItalicButtonHint},
        {LeftButton, texts.LeftButtonHint},     {CenterButton, texts.CenterButtonHint},
        {RightButton, texts.RightButtonHint},   {BulletButton, texts.BulletButtonHint},
    };
    for (const auto &[button, hint] : buttons)
        setDialogHint(button, hint);
}

// Menu items show the long part of their hint in the status bar; items with a button take
// the button's hint.
void TwwRichEditForm::SetMenuHints()
{
    const TwwDBRichEditIntl &texts = RichEditTexts();
    const std::pair<QAction *, const QString &> items[] = {
        {Load1, texts.LoadButtonHint},      {SaveAs1, texts.SaveAsButtonHint},
        {Print1, texts.PrintButtonHint},    {Undo1, texts.UndoButtonHint},
        {Cut1, texts.CutButtonHint},        {Copy1, texts.CopyButtonHint},
        {Paste1, texts.PasteButtonHint},    {Find1, texts.FindButtonHint},
        {BulletStyle1, texts.BulletButtonHint}, {SaveExit1, texts.SaveExitHint},
        {PageSetup1, texts.PageSetupHint},  {Exit1, texts.ExitHint},
        {Clear1, texts.ClearHint},          {SelectAll1, texts.SelectAllHint},
        {FindNext1, texts.FindNextHint},    {Replace1, texts.ReplaceHint},
        {InsertObject1, texts.InsertObjectHint}, {Toolbar1, texts.ToolbarHint},
        {FormatBar1, texts.FormatBarHint},  {StatusBar1, texts.ViewStatusBarHint},
        {Options1, texts.OptionsHint},      {Font1, texts.FontHint},
        {Paragraph1, texts.ParagraphHint},  {Tabs1, texts.TabsHint},
    };
    for (const auto &[item, hint] : items)
        item->setStatusTip(longHint(hint));
}

// The captions keep their shortcut, shown after a tab.
void TwwRichEditForm::SetMenuCaptions()
{
    const TwwRichEditMenuLabels &labels = RichEditTexts().MenuLabels;
    const std::pair<QAction *, const QString &> items[] = {
        {File1->menuAction(), labels.FileCaption}, {Load1, labels.LoadCaption},
        {SaveAs1, labels.SaveAsCaption},           {SaveExit1, labels.SaveExitCaption},
        {Print1, labels.PrintCaption},             {PageSetup1, labels.PageSetupCaption},
        {Exit1, labels.ExitCaption},               {Edit1->menuAction(), labels.EditCaption},
        {Undo1, labels.UndoCaption},               {Cut1, labels.CutCaption},
        {Copy1, labels.CopyCaption},               {Paste1, labels.PasteCaption},
        {Clear1, labels.ClearCaption},             {SelectAll1, labels.SelectallCaption},
        {Find1, labels.FindCaption},               {FindNext1, labels.FindNextCaption},
        {Replace1, labels.ReplaceCaption},         {InsertObject1, labels.InsertObjectCaption},
        {View1->menuAction(), labels.ViewCaption}, {Toolbar1, labels.ToolbarCaption},
        {FormatBar1, labels.FormatBarCaption},     {StatusBar1, labels.ViewStatusBarCaption},
        {Options1, labels.OptionsCaption},         {Format1->menuAction(), labels.FormatCaption},
        {Font1, labels.FontCaption},               {BulletStyle1, labels.BulletStyleCaption},
        {Paragraph1, labels.ParagraphCaption},     {Tabs1, labels.TabsCaption},
        {Help1->menuAction(), labels.HelpCaption},
    };
    for (const auto &[item, caption] : items) {
        const QKeySequence key = item->menu() ? QKeySequence() : FMenuKeys->shortcut(item);
        item->setText(key.isEmpty() ? caption
                                    : caption + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
    }
}
