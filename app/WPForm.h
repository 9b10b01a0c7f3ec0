#pragma once
#include "platform/glyphs.h"
#include "platform/menukeys.h"
#include "platform/dialogs.h"
#include "platform/reginifile.h"
#include "richedit/wwcontrolstates.h"
#include "richedit/wwriched_textfile.h"

#include <QMainWindow>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCloseEvent;
class QSessionManager;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class FileDropTarget;
class TMRUManager;
class TPopupMenu;
class TRxTrayIcon;
class TwwDBRichEdit;
class TwwDBComboBox;
class TwwFormatCommands;
class TColorComboBox;
class QKeyEvent;
enum TFontStyle : quint8;

// The main window of the word processor. It owns the editor, the menus, the toolbar, the
// format bar and the status bar for the life of the process, and holds the command
// handlers the menus, buttons and keys reach. Controls carry their names as object
// names, so that tests and tools can find them.
class TfmPellWP : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmPellWP(QWidget *parent = nullptr);
    ~TfmPellWP() override;

    TwwDBRichEdit *Editor() const { return RichEdit1; }
    TMRUManager *RecentFiles() const { return MRUManager; }
    QString DocumentName() const { return FFileName; }
    QString StatusPanelText(int panel) const;

    // Start-up and window state
    void FormCreate();
    void FormShow();
    void ShowApplicationHint();
    void ShowModified(bool modified);
    void SetDocumentName(const QString &name);
    void ShowToolbars(bool toolbarVisible, bool formatBarVisible);

    // Document file commands (WPForm_file.cpp)
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void MRUManagerClick(QObject *Sender, const QString &RecentName, const QString &Caption, int UserData);
    void WMDropFiles(const QList<QUrl> &entries);
    void FormCloseQuery(bool &CanClose);
    void QuerySaveChanges();
    void LoadDocument(const QString &name);

    // The about box and the notification-area icon's menu (WPForm_tray.cpp)
    void About1Click();
    void RXDemo1Click();
    void MenuItem1Click();
    void Exit1Click();
    TRxTrayIcon *NotificationIcon() const { return TrayIcon; }

    // Page setup and printing (WPForm_print.cpp); the print dialog offers at most
    // kMaxPrintCopies copies.
    static constexpr int kMaxPrintCopies = 99;
    void mmiPageSetupClick();
    void mmiPrintClick();

    // View and File menus
    void Toolbar1Click();
    void FormatBar1Click();
    void StatusBar1Click();
    void mmiExitClick();

    // Editor events
    void RichEdit1Change();
    void RichEdit1SelectionChange();

    // Control state and the Edit menu
    void Edit1Click();
    void UpdateControlStates();
    void mmiUndoClick();
    void Redo1Click();
    void UndoButtonClick();
    void RedoButtonClick();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Clear1Click();
    void SelectAll1Click();
    void CutButtonClick();
    void CopyButtonClick();
    void PasteButtonClick();
    void InsertObject1Click();

    // Search and insert commands (WPForm_search.cpp)
    void Find1Click();
    void FindNext1Click();
    void Replace1Click();
    void DateandTime1Click();

    // Formatting commands and the window's keys (WPForm_format.cpp, WPForm_keypreview.cpp)
    void BoldButtonMouseDown(QAbstractButton *Sender);
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void LeftButtonClick();
    void CenterButtonClick();
    void RightButtonClick();
    void BulletButtonClick();
    void BulletStyle1Click();
    void FontNameComboDropDown();
    void FontNameComboCloseUp(TwwDBComboBox *Sender, bool Select);
    void FontSizeComboCloseUp(TwwDBComboBox *Sender, bool Select);
    void ColorComboBox1Change();
    void ColorComboBox1Click();
    void FormKeyPress(QChar &Key, Qt::KeyboardModifiers Shift);
    void FormKeyUp(int &Key, Qt::KeyboardModifiers Shift, bool autoRepeat);
    void UpdateLockKeyPanels();

    // The Format menu's dialogs (WPForm_formatmenu.cpp)
    void Font1Click();
    void Paragraph1Click();
    void Tabs1Click();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    using Handler = void (TfmPellWP::*)();

    // Building the window (WPForm_layout.cpp)
    void BuildLayout();
    void BuildToolbar();
    void BuildFormatBar();
    void BuildStatusBar();
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildInsertAndFormatMenus();
    void ConfigureEditor();
    void LoadInitialContent();
    void BindCommands();
    QFrame *AddBarSeparator(QWidget *bar, const char *name, int left, int width);
    QToolButton *AddSpeedButton(QWidget *bar, const char *name, int left, Glyph glyph,
                                const QString &hint);
    QAction *AddMenuItem(QMenu *menu, const char *name, const QString &caption,
                         const QKeySequence &shortcut = {});
    void Bind(QAction *item, Handler handler);
    void Bind(QAbstractButton *button, Handler handler);
    void RunHandler(Handler handler);

    // Document files (WPForm_file.cpp)
    void CreateFileComponents();
    void CreateTrayIcon();  // WPForm_tray.cpp
    void OpenSettings();
    void LoadRecentList();
    void SaveRecentList();
    void SessionCloseQuery(QSessionManager &manager);
    void MarkDocumentClean();
    bool SaveDocument();
    bool SaveDocumentAs(int filterIndex = -1);
    QString DialogStartFolder() const;
    int DocumentTypeFilter() const;
    DocumentFileFormat FormatForSaving(int filterIndex, const QString &fileName) const;
    platform::MessageResult ConfirmPlainText(const DocumentFileFormat &format);

    // The controls UpdateControlStates sets (WPForm_edit.cpp)
    TwwStateControls StateControls() const;
    template <typename Window>
    friend TwwStateControls CollectStateControls(const Window &window, QAction *undoItem);
    void UpdatePasteStates();

    // Key dispatch (WPForm_keys.cpp)
    bool HandlesKeysFor(QObject *watched) const;
    bool FilterKeyEvent(QEvent *event);
    void BindDesktopKeys();

    // Format bar (WPForm_format.cpp) and the window's own keys (WPForm_keypreview.cpp)
    void BuildFormatBarBoxes();
    void BindFormatCommands();
    void BindFormatMenuDialogs();
    void FillFontNameCombo();
    bool PreviewKeyEvent(QEvent *event);
    bool OtherTextFieldHasFocus() const;
    bool OpenListTakesKey(const QKeyEvent *event) const;

    // Typing into the face and size boxes (WPForm_formatbar.cpp)
    bool FormatBoxTakesKey(const QKeyEvent *event);
    void FontNameComboEnter();
    void FontSizeComboEnter();
    bool ApplyAlignmentKey(QChar Key);
    void JustifyKeyPress();
    bool OpensMenuBar(const QKeyEvent *event);
    void NoteUndoKeyPress(const QKeyEvent *event);

    // State
    QString FFileName;
    bool FHintHandlerInstalled = false;
    QString FApplicationHint;
    std::unique_ptr<MenuKeyDispatcher> FMenuKeys;
    std::unique_ptr<TwwFormatCommands> FFormatCommands;  // holds FButtonDown
    bool FUndoKeyDown = false;  // Z went down with Ctrl and has not come up yet
    bool FShownBefore = false;
    std::unique_ptr<TRegIniFile> FIniFile;  // from FormCreate until a successful close
    bool FRecentListInMemoryOnly = false;   // the settings file could not be read

    // Layout, top to bottom
    QFrame *ToolBarBevel = nullptr;
    QWidget *Toolbar = nullptr;
    QFrame *FormatBarBevel = nullptr;
    QWidget *FormatBar = nullptr;
    TwwDBRichEdit *RichEdit1 = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanels[5] = {};

    // Toolbar
    QToolButton *NewButton = nullptr;
    QToolButton *LoadButton1 = nullptr;
    QToolButton *SaveAsButton = nullptr;
    QToolButton *PrintButton = nullptr;
    QToolButton *FindButton = nullptr;
    QToolButton *CutButton = nullptr;
    QToolButton *CopyButton = nullptr;
    QToolButton *PasteButton = nullptr;
    QToolButton *UndoButton = nullptr;
    QToolButton *RedoButton = nullptr;
    QFrame *UserButtonBevel = nullptr;

    // Format bar
    TwwDBComboBox *FontNameCombo = nullptr;
    TwwDBComboBox *FontSizeCombo = nullptr;
    TColorComboBox *ColorComboBox1 = nullptr;
    QToolButton *BoldButton = nullptr;
    QToolButton *ItalicButton = nullptr;
    QToolButton *UnderlineButton = nullptr;
    QToolButton *LeftButton = nullptr;
    QToolButton *CenterButton = nullptr;
    QToolButton *RightButton = nullptr;
    QToolButton *BulletButton = nullptr;
    QButtonGroup *AlignmentGroup = nullptr;

    // Main menu
    QMenu *File1 = nullptr;
    QMenu *Edit1 = nullptr;
    QMenu *View1 = nullptr;
    QMenu *Insert1 = nullptr;
    QMenu *Format1 = nullptr;
    QMenu *Help1 = nullptr;
    QMenu *mmiRecent = nullptr;
    QAction *mmiNew = nullptr;
    QAction *mmiOpen = nullptr;
    QAction *mmiSave = nullptr;
    QAction *mmiSaveAs = nullptr;
    QAction *mmiPageSetup = nullptr;
    QAction *mmiPrint = nullptr;
    QAction *mmiExit = nullptr;
    QAction *mmiUndo = nullptr;
    QAction *Redo1 = nullptr;
    QAction *Cut1 = nullptr;
    QAction *Copy1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *Clear1 = nullptr;
    QAction *SelectAll1 = nullptr;
    QAction *Find1 = nullptr;
    QAction *FindNext1 = nullptr;
    QAction *Replace1 = nullptr;
    QAction *Toolbar1 = nullptr;
    QAction *FormatBar1 = nullptr;
    QAction *StatusBar1 = nullptr;
    QAction *DateandTime1 = nullptr;
    QAction *InsertObject1 = nullptr;
    QAction *Font1 = nullptr;
    QAction *Paragraph1 = nullptr;
    QAction *BulletStyle1 = nullptr;
    QAction *Tabs1 = nullptr;
    QAction *About1 = nullptr;

    // Recent files and files dropped from the file manager
    TMRUManager *MRUManager = nullptr;
    FileDropTarget *FFileDrops = nullptr;

    // The notification-area icon and its menu
    TRxTrayIcon *TrayIcon = nullptr;
    TPopupMenu *PopupMenu = nullptr;
    QAction *RXDemo1 = nullptr;
    QAction *MenuItem1 = nullptr;
    QAction *Exit1 = nullptr;

    // Settings of the open and save dialogs
    platform::FileDialogRequest OpenDialog1;
    platform::FileDialogRequest SaveDialog1;
};
