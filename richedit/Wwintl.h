#pragma once
#include "richedit/wwtypes.h"

#include <QObject>
#include <QString>

// The user-interface text table: every caption, hint and message the editor family
// shows, in groups, so that an application can reword them in one place. One global
// instance, GlobalIntl, exists from program start to program end; components read it
// whenever they build a menu, dialog or status text.

struct TwwRichEditMenuLabels {
    QString FileCaption = QStringLiteral("&File");
    QString LoadCaption = QStringLiteral("&Load");
    QString SaveAsCaption = QStringLiteral("Save &As");
    QString SaveExitCaption = QStringLiteral("&Save and Exit");
    QString PrintCaption = QStringLiteral("&Print");
    QString PageSetupCaption = QStringLiteral("Page Set&up");
    QString ExitCaption = QStringLiteral("E&xit");
    QString EditCaption = QStringLiteral("&Edit");
    QString UndoCaption = QStringLiteral("&Undo");
    QString CutCaption = QStringLiteral("Cu&t");
    QString CopyCaption = QStringLiteral("&Copy");
    QString PasteCaption = QStringLiteral("&Paste");
    QString ClearCaption = QStringLiteral("Cle&ar");
    QString SelectallCaption = QStringLiteral("Select A&ll");
    QString FindCaption = QStringLiteral("&Find");
    QString FindNextCaption = QStringLiteral("Find &Next");
    QString ReplaceCaption = QStringLiteral("R&eplace");
    QString InsertObjectCaption = QStringLiteral("&Object...");
    QString ViewCaption = QStringLiteral("&View");
    QString ToolbarCaption = QStringLiteral("&Toolbar");
    QString FormatBarCaption = QStringLiteral("&Format Bar");
    QString ViewStatusBarCaption = QStringLiteral("&Status Bar");
    QString OptionsCaption = QStringLiteral("&Options");
    QString FormatCaption = QStringLiteral("F&ormat");
    QString FontCaption = QStringLiteral("&Font");
    QString BulletStyleCaption = QStringLiteral("&Bullet Style");
    QString ParagraphCaption = QStringLiteral("&Paragraph");
    QString TabsCaption = QStringLiteral("&Tabs");
    QString HelpCaption = QStringLiteral("Help");
    bool operator==(const TwwRichEditMenuLabels &) const = default;
};

struct TwwRichEditPopupMenuLabels {
    QString EditCaption = QStringLiteral("&Edit");
    QString ViewCaption = QStringLiteral("&View");
    QString CutCaption = QStringLiteral("Cu&t");
    QString CopyCaption = QStringLiteral("&Copy");
    QString PasteCaption = QStringLiteral("&Paste");
    QString FontCaption = QStringLiteral("&Font");
    QString BulletStyleCaption = QStringLiteral("&Bullet Style");
    QString BoldCaption = QStringLiteral("B&old");
    QString ItalicCaption = QStringLiteral("&Italic");
    QString UnderlineCaption = QStringLiteral("&Underline");
    QString ParagraphCaption = QStringLiteral("P&aragraph");
    QString TabsCaption = QStringLiteral("&Tabs");
    QString FindCaption = QStringLiteral("Fin&d");
    QString ReplaceCaption = QStringLiteral("&Replace");
    QString InsertObjectCaption = QStringLiteral("&Insert &Object...");
    bool operator==(const TwwRichEditPopupMenuLabels &) const = default;
};

struct TwwRichEditParagraphDlg {
    QString ParagraphDlgCaption = QStringLiteral("Paragraph");
    QString IndentationGroupBoxCaption = QStringLiteral("Indentation");
    QString LeftEditHint = QStringLiteral("Left Indentation");
    QString RightEditHint = QStringLiteral("Right Indentation");
    QString FirstLineEditHint = QStringLiteral("First Line of Paragraph Indentation");
    QString AlignmentHint = QStringLiteral("Changes Alignment of Paragraph");
    QString LeftEditCaption = QStringLiteral("Left:");
    QString RightEditCaption = QStringLiteral("Right:");
    QString FirstLineEditCaption = QStringLiteral("First line:");
    QString SpacingGroupCaption = QStringLiteral("Spacing");
    QString BeforeParagraphCaption = QStringLiteral("&Before");
    QString AfterParagraphCaption = QStringLiteral("Aft&er");
    QString WithinParagraphCaption = QStringLiteral("Li&ne Spacing");
    QString WithinParagraphAtCaption = QStringLiteral("&At");
    QString AlignmentCaption = QStringLiteral("Alignment");
    QString AlignLeft = QStringLiteral("Left");
    QString AlignRight = QStringLiteral("Right");
    QString AlignCenter = QStringLiteral("Center");
    // Justified paragraphs, which documents from elsewhere bring, keep their alignment
    // through the dialog under this entry.
    QString AlignJustify = QStringLiteral("Justify");
    bool operator==(const TwwRichEditParagraphDlg &) const = default;
};

struct TwwRichEditTabDlg {
    QString TabDlgCaption = QStringLiteral("Tab");
    QString TabGroupBoxCaption = QStringLiteral("&Tab Stop Position");
    QString SetTabButtonCaption = QStringLiteral("Set");
    QString ClearTabButtonCaption = QStringLiteral("Clear");
    QString ClearAllButtonCaption = QStringLiteral("Clear All");
    QString TabPositionEditHint = QStringLiteral("Tab Position Edit Box");
    QString ListBoxHint = QStringLiteral("List of tabs and their positions");
    QString SetButtonHint = QStringLiteral("Set a new tab position");
    QString ClearButtonHint = QStringLiteral("Clear the selected tab position");
    QString ClearAllButtonHint = QStringLiteral("Clear all the tabs");
    bool operator==(const TwwRichEditTabDlg &) const = default;
};

struct TwwDBRichEditIntl {
    QString FontNameComboHint = QStringLiteral("Font | Changes the font of the selection");
    QString FontSizeComboHint = QStringLiteral("Font Size | Changes the font size of the selection");
    QString NewButtonHint = QStringLiteral("New | Creates a new document");
    QString LoadButtonHint = QStringLiteral("Load | Load from file");
    QString SaveAsButtonHint = QStringLiteral("Save As | Save to file");
    QString PrintButtonHint = QStringLiteral("Print | Prints the active document");
    QString FindButtonHint = QStringLiteral("Find | Finds the specified text");
    QString CutButtonHint = QStringLiteral("Cut | Cuts the selection and puts it on the Clipboard");
    QString CopyButtonHint = QStringLiteral("Copy | Copies the selection and puts it on the Clipboard");
    QString UndoButtonHint = QStringLiteral("Undo | Reverses the last action");
    QString PasteButtonHint = QStringLiteral("Paste | Inserts Clipboard contents");
    QString BoldButtonHint = QStringLiteral("Bold | Makes the selection bold (toggle)");
    QString UnderlineButtonHint =
        QStringLiteral("Underline | Formats the selection with a continuous underline (toggle)");
    QString ItalicButtonHint = QStringLiteral("Italic | Makes the selection italic (toggle)");
    QString LeftButtonHint = QStringLiteral("Align Left | Left-justifies paragraph (toggle)");
    QString CenterButtonHint = QStringLiteral("Center | Center-justifies paragraph (toggle)");
    QString RightButtonHint = QStringLiteral("Align Right | Right-justifies paragraph (toggle)");
    QString BulletButtonHint = QStringLiteral("Bullets | Inserts a bullet on this line (toggle)");
    QString SaveExitHint = QStringLiteral("Save And Exit | Saves changes and exits editor");
    QString PageSetupHint = QStringLiteral("Page Setup | Changes page layout settings");
    QString ExitHint = QStringLiteral("Exit");
    QString ClearHint = QStringLiteral("Erases the Selection");
    QString SelectAllHint = QStringLiteral("Selects all of the text");
    QString FindNextHint = QStringLiteral("Repeats the last find");
    QString ReplaceHint = QStringLiteral("Replaces specific text with different text");
    QString InsertObjectHint = QStringLiteral("Inserts new embedded object");
    QString ToolbarHint = QStringLiteral("Shows or hides the toolbar");
    QString FormatBarHint = QStringLiteral("Shows or hides the format bar");
    QString ViewStatusBarHint = QStringLiteral("Shows or hides the status bar");
    QString OptionsHint = QStringLiteral("Sets options");
    QString FontHint = QStringLiteral("Selects font for current selection");
    QString ParagraphHint = QStringLiteral("Formats current or selected paragraph(s)");
    QString TabsHint = QStringLiteral("Sets tabs");
    QString CAPLockCaption = QStringLiteral("CAP");
    QString NUMLockCaption = QStringLiteral("NUM");
    TwwRichEditMenuLabels MenuLabels;
    TwwRichEditPopupMenuLabels PopupMenuLabels;
    TwwRichEditParagraphDlg ParagraphDialog;
    TwwRichEditTabDlg TabDialog;
    bool operator==(const TwwDBRichEditIntl &) const = default;
};

struct TwwUserMessagesIntl {
    QString wwDBGridDiscardChanges = QStringLiteral("Discard changes to this record?");
    QString PictureValidateError = QStringLiteral("Invalid characters. Field : ");
    QString LocateNoMatches = QStringLiteral("No matches found");
    QString LocateNoMoreMatches = QStringLiteral("No more matches found");
    QString MemoChangesWarning =
        QStringLiteral("Changes have been made!  Are you sure you wish to cancel?");
    QString RichEditExitWarning =
        QStringLiteral("Changes have been made!  Do you wish to save your changes?");
    QString RichEditClearWarning = QStringLiteral("Clear entire text?");
    QString FilterDlgNoCriteria = QStringLiteral("You have not selected any search criteria");
    QString RecordViewExitWarning =
        QStringLiteral("Changes have been made!  Do you wish to save your changes?");
    bool operator==(const TwwUserMessagesIntl &) const = default;
};

// The database groups hold the texts this program knows of; the database controls
// that would show the rest are not part of it.
struct TwwNavigatorHints {
    QString FirstHint = QStringLiteral("Move to first record");
    bool operator==(const TwwNavigatorHints &) const = default;
};

struct TwwDBNavigatorIntl {
    QString ConfirmDeleteMessage = QStringLiteral("Delete record?");
    TwwNavigatorHints Hints;
    bool operator==(const TwwDBNavigatorIntl &) const = default;
};

struct TwwMonthCalendarIntl {
    QString PopupYearLabel = QStringLiteral("Edit Year");
    QString PopupYearErrorMessage = QStringLiteral("Enter Valid Year");
    bool operator==(const TwwMonthCalendarIntl &) const = default;
};

struct TwwSearchDialogIntl {
    bool operator==(const TwwSearchDialogIntl &) const = default;
};
struct TwwLocateDialogIntl {
    bool operator==(const TwwLocateDialogIntl &) const = default;
};
struct TwwFilterDialogIntl {
    bool operator==(const TwwFilterDialogIntl &) const = default;
};

enum TwwCheckBoxInGridStyle { cbStyleAuto, cbStyleCheckmark, cbStyleXmark };

class TwwIntl : public QObject {
    Q_OBJECT
public:
    explicit TwwIntl(QObject *owner = nullptr);
    ~TwwIntl() override;

    // Groups of texts; edit them in place.
    TwwDBRichEditIntl RichEdit;
    TwwUserMessagesIntl UserMessages;
    TwwDBNavigatorIntl Navigator;
    TwwSearchDialogIntl SearchDialog;
    TwwLocateDialogIntl LocateDialog;
    TwwMonthCalendarIntl MonthCalendar;
    TwwFilterDialogIntl FilterDialog;

    QString BtnOKCaption = QStringLiteral("&OK");
    QString BtnCancelCaption = QStringLiteral("Cancel");
    bool OKCancelBitmapped = true;
    TFontStyles DialogFontStyle;
    bool UseLocateMethodForSearch = true;
    int DefaultEpochYear = 1950;
    int FilterMemoSize = 65536;
    bool InternalSetting = true;  // not published; copied with the other settings

    // While true, this table's texts are pushed into the global one: now, and again
    // after Loaded.
    bool Connected() const { return m_connected; }
    void SetConnected(bool connected);
    TwwCheckBoxInGridStyle CheckBoxInGridStyle() const { return m_checkBoxInGridStyle; }
    void SetCheckBoxInGridStyle(TwwCheckBoxInGridStyle style);

    // Called once the owner has finished setting the table up.
    void Loaded();
    // Copies every text and setting into the global table; nothing when this is it.
    void CopyToGlobal() const;

private:
    bool m_connected = false;
    TwwCheckBoxInGridStyle m_checkBoxInGridStyle = cbStyleAuto;
};

// The global table; empty until CreateGlobalIntl and again after it is destroyed.
extern TwwIntl *GlobalIntl;

// Creates the global table, owned by `owner` (the application object) alone, unless one
// exists; returns it. The program entry calls it before creating the main window.
TwwIntl *CreateGlobalIntl(QObject &owner);

// The editor texts of the global table, or the default texts when there is none.
const TwwDBRichEditIntl &RichEditTexts();
// The message texts of the global table, or the default texts when there is none.
const TwwUserMessagesIntl &UserMessageTexts();
