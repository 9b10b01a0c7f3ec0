#include "tests/support/scriptednotifyarea.h"

namespace platform {

ScriptedNotifyArea::ScriptedNotifyArea()
{
    setNotifyArea(this);
}

ScriptedNotifyArea::~ScriptedNotifyArea()
{
    setNotifyArea(nullptr);
}

qsizetype ScriptedNotifyArea::indexOf(const NotifyIconWindow *window) const
{
    for (qsizetype i = 0; i < FIcons.size(); ++i) {
        if (FIcons[i].window == window)
            return i;
    }
    return -1;
}

bool ScriptedNotifyArea::notifyIcon(NotifyIconMessage message, NotifyIconWindow &window,
                                    const NotifyIconData &data)
{
    FRequests << Request{message, data};
    FIcons.removeIf([](const Registered &icon) { return icon.window.isNull(); });
    const qsizetype index = indexOf(&window);
    switch (message) {
    case NotifyIconMessage::Add:
        if (index >= 0)
            return false;
        if (!FAvailable) {
            if (!FWaiting.contains(&window))
                FWaiting << &window;
            return false;
        }
        FIcons << Registered{&window, data};
        return true;
    case NotifyIconMessage::Modify:
        if (index < 0)
            return false;
        FIcons[index].data = data;
        return true;
    case NotifyIconMessage::Delete:
        if (index < 0)
            return false;
        FIcons.removeAt(index);
        return true;
    }
    return false;
}

void ScriptedNotifyArea::setAvailable(bool available)
{
    FAvailable = available;
    if (!available)
        return;
    const QList<QPointer<NotifyIconWindow>> waiting = std::exchange(FWaiting, {});
    for (const QPointer<NotifyIconWindow> &window : waiting) {
        if (window)
            window->notifyAreaAppeared();
    }
}

bool ScriptedNotifyArea::isRegistered(const NotifyIconWindow *window) const
{
    return indexOf(window) >= 0;
}

NotifyIconData ScriptedNotifyArea::shown(const NotifyIconWindow *window) const
{
    const qsizetype index = indexOf(window);
    return index >= 0 ? FIcons[index].data : NotifyIconData{};
}

int ScriptedNotifyArea::count(NotifyIconMessage message) const
{
    return int(std::count_if(FRequests.begin(), FRequests.end(),
                             [message](const Request &request) { return request.message == message; }));
}

}  // namespace platform
