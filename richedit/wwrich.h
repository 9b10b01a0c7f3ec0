#pragma once
#include "platform/dialogs.h"
#include "platform/glyphs.h"
#include "richedit/wwcontrolstates.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QToolButton;
class MenuKeyDispatcher;
class TwwCustomRichEdit;
class TwwDBComboBox;
class TwwFormatCommands;
class TwwRulerPanel;
class TwwTrackIcon;

// The stand-alone editor window of an editor control: a modal window that edits a copy of
// the control's content with menus, a toolbar, a format bar, a ruler and a status bar.
// Which of them exist is decided by the opening control's EditorOptions; a read-only
// control gives a viewer. The window's own editor, RichEdit1, is of the opening control's
// class. Content goes back to the opening control only when the user leaves with Save
// and Exit (or answers Yes to the close question) and the content was changed; margins
// and paper go back on every such exit.
//
// Controls carry their designed names as object names. Building the window is in
// wwrich_layout.cpp (bars, status bar, resize layout) and wwrich_menus.cpp (menus,
// captions, hints); showing it in wwrich_show.cpp; the commands in wwrich_commands.cpp
// and wwrich_files.cpp; the colour menu in wwrich_colormenu.cpp; keys in wwrich_keys.cpp.
class TwwRichEditForm : public QDialog {
    Q_OBJECT
public:
    // ExecuteEditorWindow of `source`: builds the window, shows it modally and copies the
    // result back. True when the window closed with OK.
    static bool Execute(TwwCustomRichEdit *source);

    ~TwwRichEditForm() override;

    TwwCustomRichEdit *Source() const { return FSource; }
    TwwCustomRichEdit *Editor() const { return RichEdit1; }
    TwwRulerPanel *Ruler() const { return FRuler; }
    QMenu *ColorMenu() const { return PopupMenu1; }
    QString StatusPanelText(int panel) const;

    // Commands, as the menus, buttons and keys reach them.
    void UpdateControlStates();
    void UpdateLockKeyPanels();
    void FormResize();
    void SaveExit1Click();
    void Exit1Click();
    void Load1Click();
    void SaveAs1Click();
    void NewButtonClick();
    void Print1Click();
    void PageSetup1Click();
    void Toolbar1Click();
    void FormatBar1Click();
    void StatusBar1Click();
    void Ruler1Click();
    void SpeedButton1Click();  // opens the colour menu
    void ColorItemClick(QAction *item);

    // How many colours the colour menu offers (Automatic, the editor's font colour, last).
    static constexpr int kColorItems = 17;

protected:
    explicit TwwRichEditForm(TwwCustomRichEdit *source);

    void done(int result) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    using Handler = void (TwwRichEditForm::*)();
    class ScreenCursor;

    // Opening (wwrich.cpp)
    void CreateRuler();
    void CreateEditor();
    void TakeSourceProperties();
    void PlaceWindow();
    void CopyBack(int result);
    void ShowDefaultCursor();

    // Designed controls (wwrich_layout.cpp)
    void BuildClientArea();
    void BuildToolbar();
    void BuildFormatBar();
    void BuildStatusBar();
    QToolButton *AddSpeedButton(QWidget *bar, const char *name, int left, int top, Glyph glyph);
    QFrame *AddBarSeparator(QWidget *bar, const char *name, int left);
    void BindCommands();
    void Bind(QAction *item, Handler handler);
    void Bind(QAbstractButton *button, Handler handler);
    void RunHandler(Handler handler);
    void ShowBars(bool toolbarVisible, bool formatBarVisible);
    int StackBars();
    void PlaceClientArea();
    void PlaceStatusPanels();
    void LayOutEditor();

    // Menus, captions and hints (wwrich_menus.cpp)
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildInsertFormatAndHelpMenus();
    QMenu *AddMenu(const char *name, const QString &caption);
    QAction *AddMenuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key = {});
    void SetCaptionsAndHints();
    void SetControlHints();
    void SetMenuHints();
    void SetMenuCaptions();

    // Showing (wwrich_show.cpp)
    void FormShow();
    void PrepareColorMenu();
    void FillFontNameCombo();
    void RemoveViewerOptions();
    void ApplyOptionVisibility();
    void BorrowUserButtons();
    void GiveBackUserButtons();
    void UseRaisedButtons();
    void ScaleToScreen();
    void FormClose();

    // Format and edit commands (wwrich_commands.cpp)
    void BindFormatCommands();
    TwwStateControls StateControls() const;
    template <typename Window>
    friend TwwStateControls CollectStateControls(const Window &window, QAction *undoItem);
    void RichEdit1SelectionChange();
    void BoldButtonMouseDown(QAbstractButton *sender);
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void LeftButtonClick();
    void CenterButtonClick();
    void RightButtonClick();
    void BulletButtonClick();
    void BulletStyle1Click();
    void FontNameComboDropDown();
    void FontNameComboCloseUp(TwwDBComboBox *sender, bool select);
    void FontSizeComboCloseUp(TwwDBComboBox *sender, bool select);
    void Edit1Click();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Clear1Click();
    void SelectAll1Click();
    void Find1Click();
    void FindNext1Click();
    void Replace1Click();
    void Font1Click();
    void Paragraph1Click();
    void Tabs1Click();
    void InsertObject1Click();

    // The colour menu (wwrich_colormenu.cpp)
    void BuildColorMenu();

    // Keys (wwrich_keys.cpp)
    bool HandlesKeysFor(QObject *watched) const;
    bool PreviewKeyEvent(QEvent *event);
    void FormKeyPress(QChar &key, Qt::KeyboardModifiers shift);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift);

    // State
    TwwCustomRichEdit *FSource = nullptr;
    TwwCustomRichEdit *RichEdit1 = nullptr;
    TwwRulerPanel *FRuler = nullptr;
    std::unique_ptr<ScreenCursor> FScreenCursor;
    std::unique_ptr<MenuKeyDispatcher> FMenuKeys;
    int FSourceSelStart = 0;  // where the caret lands once the content is in
    std::unique_ptr<TwwFormatCommands> FFormatCommands;  // holds FButtonDown
    bool FUndoKeyDown = false;
    bool FShown = false;
    bool FHintsShown = false;  // the window's hint handler is in force
    QPointer<QWidget> FUserButtonParents[2];
    QPointer<QAbstractButton> FUserButtons[2];

    // Layout, top to bottom
    QMenuBar *MainMenu1 = nullptr;
    QWidget *FClient = nullptr;
    QFrame *ToolBarBevel = nullptr;
    QWidget *Toolbar = nullptr;
    QFrame *FormatBarBevel = nullptr;
    QWidget *FormatBar = nullptr;
    QFrame *RulerBevel = nullptr;
    QFrame *StatusBar = nullptr;
    QLabel *StatusPanels[4] = {};

    // Toolbar
    QToolButton *NewButton = nullptr;
    QToolButton *PrintButton = nullptr;
    QToolButton *FindButton = nullptr;
    QToolButton *CutButton = nullptr;
    QToolButton *CopyButton = nullptr;
    QToolButton *PasteButton = nullptr;
    QToolButton *UndoButton = nullptr;
    QToolButton *RedoButton = nullptr;
    QFrame *UserButtonBevel = nullptr;
    QToolButton *LoadButton1 = nullptr;
    QToolButton *SaveAsButton = nullptr;

    // Format bar
    TwwDBComboBox *FontNameCombo = nullptr;
    TwwDBComboBox *FontSizeCombo = nullptr;
    QToolButton *BoldButton = nullptr;
    QToolButton *ItalicButton = nullptr;
    QToolButton *UnderlineButton = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *LeftButton = nullptr;
    QToolButton *CenterButton = nullptr;
    QToolButton *RightButton = nullptr;
    QToolButton *BulletButton = nullptr;
    QButtonGroup *AlignmentGroup = nullptr;

    // Main menu
    QMenu *File1 = nullptr;
    QAction *Load1 = nullptr;
    QAction *SaveAs1 = nullptr;
    QAction *SaveExit1 = nullptr;
    QAction *FileSep1 = nullptr;
    QAction *Print1 = nullptr;
    QAction *PageSetup1 = nullptr;
    QAction *FileSep2 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Edit1 = nullptr;
    QAction *Undo1 = nullptr;
    QAction *Redo1 = nullptr;
    QAction *Cut1 = nullptr;
    QAction *Copy1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *Clear1 = nullptr;
    QAction *SelectAll1 = nullptr;
    QAction *Find1 = nullptr;
    QAction *FindNext1 = nullptr;
    QAction *Replace1 = nullptr;
    QMenu *View1 = nullptr;
    QAction *Toolbar1 = nullptr;
    QAction *FormatBar1 = nullptr;
    QAction *StatusBar1 = nullptr;
    QAction *Ruler1 = nullptr;
    QAction *OptionsSep = nullptr;
    QAction *Options1 = nullptr;
    QMenu *Insert1 = nullptr;
    QAction *DateandTime1 = nullptr;
    QAction *InsertObject1 = nullptr;
    QMenu *Format1 = nullptr;
    QAction *Font1 = nullptr;
    QAction *BulletStyle1 = nullptr;
    QAction *Paragraph1 = nullptr;
    QAction *Tabs1 = nullptr;
    QMenu *Help1 = nullptr;

    // The colour menu and the file dialogs
    QMenu *PopupMenu1 = nullptr;
    platform::FileDialogRequest OpenDialog1;
    platform::FileDialogRequest SaveDialog1;
};
