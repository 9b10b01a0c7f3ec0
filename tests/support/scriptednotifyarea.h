#pragma once
#include "platform/notifyarea.h"

#include <QList>
#include <QPointer>

namespace platform {

// A NotifyArea for tests: records every request, keeps the registered icons, and can be
// told that the desktop has no notification area, or that one has appeared. Installs
// itself on construction and restores the desktop's own area on destruction.
class ScriptedNotifyArea : public NotifyArea {
public:
    struct Request {
        NotifyIconMessage message;
        NotifyIconData data;
    };

    ScriptedNotifyArea();
    ~ScriptedNotifyArea() override;
    ScriptedNotifyArea(const ScriptedNotifyArea &) = delete;
    ScriptedNotifyArea &operator=(const ScriptedNotifyArea &) = delete;

    bool notifyIcon(NotifyIconMessage message, NotifyIconWindow &window, const NotifyIconData &data) override;

    // Without an area every Add is refused; making it available again tells the windows
    // whose Add was refused.
    void setAvailable(bool available);

    bool isRegistered(const NotifyIconWindow *window) const;
    // What the area shows for a registered window.
    NotifyIconData shown(const NotifyIconWindow *window) const;
    const QList<Request> &requests() const { return FRequests; }
    int count(NotifyIconMessage message) const;
    void clearRequests() { FRequests.clear(); }

private:
    struct Registered {
        QPointer<NotifyIconWindow> window;
        NotifyIconData data;
    };
    qsizetype indexOf(const NotifyIconWindow *window) const;

    bool FAvailable = true;
    QList<Registered> FIcons;
    QList<QPointer<NotifyIconWindow>> FWaiting;
    QList<Request> FRequests;
};

}  // namespace platform
