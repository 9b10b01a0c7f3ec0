#pragma once
#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>

// The desktop's notification area (system tray), reached the way the shell offers it:
// an icon is registered for a window of the program, which the shell then tells about
// the mouse over the icon. Tests install a ScriptedNotifyArea (in tests/support), so
// that nothing needs a desktop.
namespace platform {

// Mouse messages the shell reports for an icon, numbered as the platform numbers them.
enum TrayMouseMessage : int {
    WM_MOUSEMOVE = 0x200,
    WM_LBUTTONDOWN = 0x201,
    WM_LBUTTONUP = 0x202,
    WM_LBUTTONDBLCLK = 0x203,
    WM_RBUTTONDOWN = 0x204,
    WM_RBUTTONUP = 0x205,
    WM_RBUTTONDBLCLK = 0x206,
    WM_MBUTTONDOWN = 0x207,
    WM_MBUTTONUP = 0x208,
    WM_MBUTTONDBLCLK = 0x209,
};

// What the shell shows for one icon.
struct NotifyIconData {
    QIcon icon;
    QString tip;
};

enum class NotifyIconMessage { Add, Modify, Delete };

// The hidden window an icon is registered for. It receives the shell's mouse messages and
// learns when a notification area appears on a desktop that had none.
class NotifyIconWindow : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Delivers a mouse message over the icon (the shell's callback).
    void deliver(int mouseMessage);
    // Tells the window that a notification area is there now.
    void notifyAreaAppeared();

    std::function<void(int mouseMessage)> OnCallback;
    std::function<void()> OnAreaAppeared;
};

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    // Adds, changes or removes the icon registered for `window`. False when the shell
    // refuses: an Add on a desktop without a notification area (the window is told
    // when one appears), a Modify or Delete of an icon that is not registered.
    virtual bool notifyIcon(NotifyIconMessage message, NotifyIconWindow &window, const NotifyIconData &data) = 0;
};

// The area in use; the desktop's own unless a test installed another.
NotifyArea &notifyArea();
// Installs an area (not owned); nullptr restores the desktop's own.
void setNotifyArea(NotifyArea *area);

// The mouse messages that stand for each way Qt reports a use of a tray icon: a press
// and a release, a double click and its release.
QList<int> mouseMessagesForActivation(int qtActivationReason);

}  // namespace platform
