#pragma once
#include "components/IcoList.h"
#include "platform/icon.h"
#include "platform/notifyarea.h"
#include "platform/popupmenu.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class TRxTrayIcon;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// Times the frames of an animated tray icon. It waits Interval milliseconds (read anew
// for every wait) on the user-interface thread's timer and then asks its owner for the
// next frame, as long as it is not closed: asked to terminate, the application
// terminating, or without an owner. Created and driven only by its TRxTrayIcon, which
// suspends it while the icon is not in the notification area; it frees itself once it
// has been told to terminate.
class TTimerThread : public QObject {
    Q_OBJECT
public:
    TTimerThread(TRxTrayIcon *AOwnerTray, bool CreateSuspended);

    TRxTrayIcon *OwnerTray() const { return FOwnerTray; }
    void ClearOwnerTray() { FOwnerTray = nullptr; }
    bool Suspended() const { return !FRunning; }
    bool Terminated() const { return FTerminated; }
    void Resume();
    void Suspend();
    void Terminate();

    // The current wait has run out (the timer's timeout; tests call it to step frames).
    void Expire();
    // The length of the wait under way, in milliseconds.
    int WaitInterval() const { return FWait.interval(); }

private:
    bool Closed() const;
    void StartWait();

    TRxTrayIcon *FOwnerTray;
    QTimer FWait;
    bool FRunning = false;
    bool FTerminated = false;
};

// One icon in the desktop's notification area. It keeps the icon and its tooltip up to
// date there, turns the mouse messages over the icon into events, shows PopupMenu on a
// right click, runs the menu's default item on a double click, and can animate the icon
// through the frames of Icons.
//
// The icon is registered with the notification area while Active and the current icon is
// not empty; Added tells whether the area accepted it. Where the desktop has no
// notification area the icon stays unregistered and is registered as soon as one appears.
// The tooltip is the part of Hint before its first "|", at most 63 characters.
//
// Mouse dispatch, per message over the icon: a button's down fires OnMouseDown and its
// up OnMouseUp; an up whose down was seen on the icon first gives a click (the popup menu
// for the right button, OnClick otherwise); a left double click runs the popup menu's
// first enabled default item, or fires OnDblClick when there is none. A double click
// never gives a click, nor does the middle button. Errors in the handlers go to the
// application's error box and the icon keeps working.
class TRxTrayIcon : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TMouseEvent = std::function<void(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(QObject *Sender, TShiftState Shift, int X, int Y)>;

    explicit TRxTrayIcon(QObject *AOwner = nullptr);
    ~TRxTrayIcon() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &Value);
    TIcon *Icon() const { return FIcon.get(); }
    void SetIcon(const TIcon *Value);
    TIconList *Icons() const { return FIcons.get(); }
    void SetIcons(const TIconList *Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value);
    quint16 Interval() const { return FInterval; }
    void SetInterval(quint16 Value) { FInterval = Value; }
    TPopupMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu *Value) { FPopupMenu = Value; }
    // Kept for the form designer's sake; it changes nothing while the program runs.
    bool ShowDesign() const { return FShowDesign; }
    void SetShowDesign(bool Value) { FShowDesign = Value; }

    // Registers the icon (again), or removes it; ChangeIcon sends the current icon and
    // tip to the notification area.
    void Activate();
    void Deactivate();
    void ChangeIcon();
    // The owning form has set every property: shows the icon when Active.
    void Loaded();
    // Shows PopupMenu at a screen point; false when there is nothing to show.
    bool ShowPopup(int X, int Y);

    bool Added() const { return FAdded; }
    // The hidden window the icon is registered for; the notification area delivers the
    // mouse messages over the icon to it.
    platform::NotifyIconWindow *Handle() const { return FHandle; }
    // What was last sent to the notification area.
    const platform::NotifyIconData &NotifyData() const { return FIconData; }
    int FrameIndex() const { return FIconIndex; }
    TTimerThread *AnimationWorker() const { return FTimer; }

    // The tooltip for a hint.
    static QString TipOf(const QString &Hint);

    TMouseEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    virtual void UpdateNotifyData();
    virtual void DblClick();
    virtual void Click(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    friend class TTimerThread;

    // Mouse dispatch (RXShell_mouse.cpp)
    void WndProc(int MouseMessage);
    void Dispatch(int MouseMessage, TShiftState Shift, int X, int Y);
    void ButtonUp(TMouseButton Button, TShiftFlag Flag, TShiftState Shift, int X, int Y);
    bool RunDefaultItem();
    static void CancelModeOfActiveForm();

    TIcon *CurrentIcon() const;
    void AdvanceFrame();

    bool FActive = true;
    QString FHint;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TIconList> FIcons;
    bool FAnimated = false;
    quint16 FInterval = 150;
    QPointer<TPopupMenu> FPopupMenu;
    bool FShowDesign = false;

    platform::NotifyIconWindow *FHandle = nullptr;
    platform::NotifyIconData FIconData;
    bool FAdded = false;
    TShiftState FPressed;  // ssLeft and ssRight: a down seen on the icon, its up not yet
    int FIconIndex = -1;
    TTimerThread *FTimer = nullptr;
    bool FDestroying = false;
};
