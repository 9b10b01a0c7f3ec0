#pragma once
#include <QList>
#include <QMenu>
#include <QPointer>

// Where a popup menu stands relative to the point it is shown at.
enum TPopupAlignment { paLeft, paRight, paCenter };

// A popup menu as components use one: it can be switched off for automatic popping up
// (AutoPopup), is aligned at its point by Alignment, remembers the component that last
// showed it, and lets any number of its items be marked as default (drawn bold). The
// menu's items are its actions, in menu order.
class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TPopupMenu(QWidget *parent = nullptr);

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    QObject *PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(QObject *Component) { FPopupComponent = Component; }

    bool IsDefault(const QAction *Item) const;
    void SetDefault(QAction *Item, bool Value);

    // Shows the menu at a point on the screen, without waiting for the user's choice;
    // the chosen item's triggered() signal follows later.
    void Popup(int X, int Y);

private:
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    QPointer<QObject> FPopupComponent;
    QList<QPointer<QAction>> FDefaults;
};
