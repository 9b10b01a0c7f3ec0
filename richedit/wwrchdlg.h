#pragma once
#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TwwCustomRichEdit;
class TwwDBComboBox;

// The paragraph dialog: alignment, the three indents and the spacing of the paragraphs
// the editor's selection touches. Built for one ExecuteParagraphDialog call: filled from
// the selection, shown modally, and on OK written back as one paragraph format.
//
// Lengths are shown and typed in the editor's measurement unit ("''" or " cm"). The
// left indent is where a paragraph's second and later lines start; the first line is
// relative to it. Every length field must hold a number within 22 inches either way;
// OK with a field that does not keeps the dialog open with the focus in that field,
// without a message. The line-spacing list's index is the engine's line-spacing rule:
// 0 single, 1 one and a half, 2 double, 3 at least, 4 exactly (the At field is a
// length), 5 multiple (the At field is a number of lines, at least 0.05).
// Implementation: wwrchdlg.cpp (building), wwrchdlg_values.cpp (filling, checking,
// applying, and the line-spacing interaction).
class TwwRichParagraphDialog : public QDialog {
    Q_OBJECT
public:
    explicit TwwRichParagraphDialog(TwwCustomRichEdit *richEdit);

    // Shows the dialog for the editor's selection; true when OK applied the format.
    static bool ExecuteParagraphDialog(TwwCustomRichEdit *richEdit);

    // Fills the fields from the selection's paragraph format.
    void FillFromSelection();
    // Writes the fields to the selection as one paragraph format.
    void ApplyToSelection();

    // Handlers
    void OKClick();
    void LineSpacingComboBoxClick();
    void LineSpacingComboBoxChange();
    void WithinParagraphEditKeyPress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void PlaceControls();
    void SetCaptions();
    void SetHints();
    void FillAlignment();
    void FillSpacing();
    QLineEdit *FirstInvalidField() const;
    bool IsValidLineSpacingText() const;
    int LineSpacingTwips() const;
    bool SpacingAvailable() const;

    TwwCustomRichEdit *RichEdit;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label4 = nullptr;
    TwwDBComboBox *AlignmentCombo = nullptr;
    QLabel *GroupBox1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *LeftEdit = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *RightEdit = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *FirstLineEdit = nullptr;
    QLabel *SpacingGroup = nullptr;
    QFrame *Bevel2 = nullptr;
    QLabel *BeforeParagraphLabel = nullptr;
    QLineEdit *BeforeParagraphEdit = nullptr;
    QLabel *AfterParagraphLabel = nullptr;
    QLineEdit *AfterParagraphEdit = nullptr;
    QLabel *WithinParagraphLabel = nullptr;
    QComboBox *LineSpacingComboBox = nullptr;
    QLabel *WithinParagraphAt = nullptr;
    QLineEdit *WithinParagraphEdit = nullptr;
};
