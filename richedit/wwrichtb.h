#pragma once
#include <QDialog>
#include <QList>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class TwwCustomRichEdit;

// The tab stops dialog: the list of tab stop positions of the paragraphs the editor's
// selection touches. Built for one ExecuteTabDialog call: filled from the selection,
// shown modally, and on OK the whole list replaces the paragraphs' tab stops (nothing
// else of their format changes).
//
// Positions are typed and listed in the editor's measurement unit. Set adds the typed
// position when it is a number from 0 to 22 inches, not yet listed, and the list holds
// fewer than 32 (the most a paragraph keeps); otherwise nothing happens and the text
// stays. The list is kept in numeric order. While the position field has the focus,
// Enter sets its position, or closes the dialog with OK when the field is empty.
class TwwRichTabDialog : public QDialog {
    Q_OBJECT
public:
    explicit TwwRichTabDialog(TwwCustomRichEdit *richEdit);

    // Shows the dialog for the editor's selection; true when OK wrote the positions.
    static bool ExecuteTabDialog(TwwCustomRichEdit *richEdit);

    void FillFromSelection();
    void ApplyToSelection();
    // The listed positions in twips, in list order.
    QList<int> Positions() const;

    // Handlers
    bool SetButtonClick();  // true when the position was added
    void Button2Click();    // Clear: removes the selected entries
    void Button4Click();    // Clear All
    void OKButtonClick();
    void Edit1Enter();
    void Edit1Exit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void PlaceControls();
    void SetCaptions();
    void SetHints();
    void Edit1KeyPress(QKeyEvent *event);
    bool AcceptsPosition(const QString &text) const;
    bool IsListed(const QString &entry) const;
    int InsertionRow(double value) const;
    bool ListIsFull() const;

    TwwCustomRichEdit *RichEdit;
    QGroupBox *GroupBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
};
