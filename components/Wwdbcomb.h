#pragma once
#include <QLineEdit>
#include <QStringList>
#include <functional>

class QToolButton;
class TwwPopupListbox;

enum TComboBoxStyle {
    csDropDown = 0,           // the text can be typed freely
    csSimple = 1,             // an edit without a list
    csDropDownList = 2,       // the text comes from the list only
    csOwnerDrawFixed = 3,     // as csDropDownList
    csOwnerDrawVariable = 4,  // as csDropDownList
};

enum TwwComboButtonStyle { cbsEllipsis, cbsDownArrow };

// An editable combo box: a single-line edit with a drop-down button inside its right edge
// and a separate pop-up list window (TwwPopupListbox), created on first use, that floats
// below or above the edit while the edit keeps the keyboard focus. Opening the list fires
// OnDropDown; closing it fires OnCloseUp with Select telling whether the user accepted an
// entry (Enter, a click in the list, the button, Tab, a click elsewhere or focus loss) or
// not (Escape). Enter with the list closed fires nothing.
//
// An entry of Items may hold a tab: the part before it is shown in the list and put into
// the edit; the part after it is the entry's stored value, returned by Value() when
// MapList is on.
class TwwDBComboBox : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TwwComboCloseUpEvent = std::function<void(TwwDBComboBox *Sender, bool Select)>;

    explicit TwwDBComboBox(QWidget *parent = nullptr);
    ~TwwDBComboBox() override;

    // The edit itself; the box is its own single-line edit.
    QLineEdit *lineEdit() { return this; }

    // Entries. With Sorted on, Items keeps itself sorted (case-insensitive, in the
    // user's collation) as entries are added, so list rows and Items indexes agree.
    const QStringList &Items() const { return FItems; }
    void setItems(const QStringList &items);
    int addItem(const QString &item);  // the index it went to
    void clearItems();
    int IndexOf(const QString &item, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    static QString shownPart(const QString &entry);
    static QString storedPart(const QString &entry);

    // Published properties (defaults in the constructor).
    using QLineEdit::setStyle;
    TComboBoxStyle Style() const { return FStyle; }
    void setStyle(TComboBoxStyle style);
    bool Sorted() const { return FSorted; }
    void setSorted(bool sorted);
    int DropDownCount() const { return FDropDownCount; }
    void setDropDownCount(int rows) { FDropDownCount = rows; }
    int DropDownWidth() const { return FDropDownWidth; }
    void setDropDownWidth(int pixels) { FDropDownWidth = pixels; }
    int ItemIndex() const;
    void setItemIndex(int index);
    bool ShowButton() const { return FShowButton; }
    void setShowButton(bool show);
    TwwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void setButtonStyle(TwwComboButtonStyle style);
    bool MapList() const { return FMapList; }
    void setMapList(bool on) { FMapList = on; }
    bool AllowClearKey() const { return FAllowClearKey; }
    void setAllowClearKey(bool on) { FAllowClearKey = on; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void setAutoDropDown(bool on) { FAutoDropDown = on; }
    bool ShowMatchText() const { return FShowMatchText; }
    void setShowMatchText(bool on) { FShowMatchText = on; }
    int ItemHeight() const { return FItemHeight; }
    void setItemHeight(int pixels) { FItemHeight = pixels; }

    // Read-only refuses typing and choices from the list. (Hides QLineEdit's own flag,
    // which the box also sets for the styles whose text comes from the list.)
    bool ReadOnly() const { return FReadOnly; }
    void setReadOnly(bool readOnly);

    // Hints: the part of Hint before " | " is the tooltip (shown while ShowHint is on),
    // the part after it the status-bar text.
    bool ShowHint() const { return FShowHint; }
    void setShowHint(bool show);
    QString Hint() const { return FHint; }
    void setHint(const QString &hint);

    // The colour of the edit's text (and of the list's rows at the next drop-down).
    QColor FontColor() const;
    void setFontColor(const QColor &color);

    // With MapList on, the stored value of the entry whose shown part equals the edit
    // text; otherwise, or when no entry matches, the edit text.
    QString Value() const;

    // Opening and closing the list.
    void DropDown();
    void CloseUp(bool Accept);
    bool Dropped() const { return FDropped; }
    TwwPopupListbox *PopupList() const { return FList; }  // nullptr before the first drop-down

    TNotifyEvent OnDropDown;
    TwwComboCloseUpEvent OnCloseUp;

protected:
    virtual void DoDropDown();
    virtual void DoCloseUp(bool Select);

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Keyboard (Wwdbcomb_keys.cpp)
    bool claimsKeyWhileDropped(const QKeyEvent *event) const;
    void keyWhileDropped(QKeyEvent *event);
    void keyWhileClosed(QKeyEvent *event);
    void typeCharacter(QKeyEvent *event);
    void selectListRowForTyping(const QString &character);
    void completeFromItems();
    void stepEntry(int delta);
    void clearByKey();

    // List window
    void ensureList();
    void fillList();
    void hideList();
    void itemsChanged();
    QRect listGeometry(int rows) const;
    bool ownsWidget(const QWidget *widget) const;
    void releaseMouseCapture();

    bool textEditable() const;
    void applyEditState();
    void applyHint();
    void layoutButton();
    void buttonPressed();
    int buttonWidth() const;
    int indexOfShown(const QString &text) const;

    QStringList FItems;
    TComboBoxStyle FStyle = csDropDown;
    bool FSorted = false;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    int FItemIndex = -1;
    bool FShowButton = true;
    TwwComboButtonStyle FButtonStyle = cbsDownArrow;
    bool FMapList = false;
    bool FAllowClearKey = false;
    bool FAutoDropDown = false;
    bool FShowMatchText = false;
    int FItemHeight = 0;
    bool FReadOnly = false;
    bool FShowHint = false;
    QString FHint;

    QToolButton *FButton = nullptr;
    TwwPopupListbox *FList = nullptr;
    bool FListStale = false;  // Items changed since the list was last filled
    bool FDropped = false;
    bool FSavedShowHint = false;
};
