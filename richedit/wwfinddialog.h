#pragma once
#include <QDialog>
#include <QFlags>
#include <QPoint>
#include <QString>
#include <functional>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// Options of the find and replace dialogs, with the bit values of the desktop's find
// and replace flags: the state of the controls, the action the user took, and flags
// that hide or disable a control.
enum TFindOption : quint32 {
    frDown = 0x00001,
    frWholeWord = 0x00002,
    frMatchCase = 0x00004,
    frFindNext = 0x00008,
    frReplace = 0x00010,
    frReplaceAll = 0x00020,
    frDisableUpDown = 0x00400,
    frDisableMatchCase = 0x00800,
    frDisableWholeWord = 0x01000,
    frHideUpDown = 0x04000,
    frHideMatchCase = 0x08000,
    frHideWholeWord = 0x10000,
};
Q_DECLARE_FLAGS(TFindOptions, TFindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFindOptions)

// The modeless find dialog: "Fi&nd what:" (at most 255 characters), "Match &whole word
// only", "Match &case", a direction choice, "&Find Next" and "Cancel". It stays above its
// owner's window without blocking it and shows again where it was last. Find Next is
// disabled while the find text is empty; Enter presses it, Esc closes the dialog.
//
// Every user action replaces Options() by the flags of that action: the hide and disable
// flags kept from before, the state of the controls, and the action's own flag
// (frFindNext, frReplace, frReplaceAll; none for closing). Then its event fires.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    using TDialogEvent = std::function<void(TFindDialog *sender)>;
    static constexpr int kMaxTextLength = 255;

    explicit TFindDialog(QWidget *owner);

    TDialogEvent OnFind;     // Find Next pressed
    TDialogEvent OnReplace;  // Replace or Replace All pressed
    TDialogEvent OnClose;    // closed by Cancel, Esc or the window's close button

    QString FindText() const;
    void SetFindText(const QString &text);  // cut at kMaxTextLength
    TFindOptions Options() const { return m_options; }
    void SetOptions(TFindOptions options);

    // Shows the dialog at its last place, or brings it to the top when it is open.
    void Execute();
    void CloseDialog();

protected:
    struct HeadOnly {};
    // Builds only the find row and Find Next; the caller adds its own rows and buttons
    // and then calls FinishLayout.
    TFindDialog(QWidget *owner, HeadOnly);

    // The layout both dialogs share: rows of labelled fields, then the check boxes and
    // the direction choice, beside a column of buttons.
    QLineEdit *AddTextRow(const QString &caption, const char *name);
    QPushButton *AddButton(const QString &caption, const char *name);
    void FinishLayout(bool withDirection);
    void ReportAction(TFindOption action, const TDialogEvent &event);
    virtual void UpdateButtonStates();

    QLineEdit *FindEdit = nullptr;
    QPushButton *FindNextButton = nullptr;

private:
    TFindOptions ControlFlags() const;
    void ApplyOptionsToControls();
    void DialogClosed();

    QGridLayout *m_fields = nullptr;
    QVBoxLayout *m_buttons = nullptr;
    QCheckBox *WholeWordCheck = nullptr;
    QCheckBox *MatchCaseCheck = nullptr;
    QGroupBox *DirectionGroup = nullptr;
    QRadioButton *UpRadio = nullptr;
    QRadioButton *DownRadio = nullptr;
    QPushButton *CancelButton = nullptr;
    TFindOptions m_options;
    QPoint m_lastPosition;
    bool m_shownBefore = false;
    bool m_directionShown = true;
};

// The modeless replace dialog: the find dialog's controls with "Re&place with:" and the
// buttons "&Replace" and "Replace &All", which fire OnReplace with frReplace or
// frReplaceAll in the options. It has no direction choice.
class TReplaceDialog : public TFindDialog {
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget *owner);

    QString ReplaceText() const;
    void SetReplaceText(const QString &text);  // cut at kMaxTextLength

protected:
    void UpdateButtonStates() override;

private:
    QLineEdit *ReplaceEdit = nullptr;
    QPushButton *ReplaceButton = nullptr;
    QPushButton *ReplaceAllButton = nullptr;
};
