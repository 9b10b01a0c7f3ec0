#include "platform/notifyarea.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace platform {

void NotifyIconWindow::deliver(int mouseMessage)
{
    if (OnCallback)
        OnCallback(mouseMessage);
}

void NotifyIconWindow::notifyAreaAppeared()
{
    if (OnAreaAppeared)
        OnAreaAppeared();
}

QList<int> mouseMessagesForActivation(int qtActivationReason)
{
    switch (QSystemTrayIcon::ActivationReason(qtActivationReason)) {
    case QSystemTrayIcon::Trigger: return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick: return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context: return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick: return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    case QSystemTrayIcon::Unknown: break;
    }
    return {};
}

namespace {

// The desktop's notification area through QSystemTrayIcon: one tray icon per registered
// window, owned by that window. Qt shows its tray menu itself only when it is given one;
// it is given none, so every use of the icon reaches the window as mouse messages.
class DesktopNotifyArea : public NotifyArea {
public:
    bool notifyIcon(NotifyIconMessage message, NotifyIconWindow &window, const NotifyIconData &data) override
    {
        QSystemTrayIcon *tray = trayOf(window);
        switch (message) {
        case NotifyIconMessage::Add:
            if (tray)
                return false;
            if (!QSystemTrayIcon::isSystemTrayAvailable()) {
                waitForArea(window);
                return false;
            }
            tray = new QSystemTrayIcon(&window);
            apply(*tray, data);
            QObject::connect(tray, &QSystemTrayIcon::activated, &window, [&window](auto reason) {
                const QPointer<NotifyIconWindow> alive(&window);
                for (int mouseMessage : mouseMessagesForActivation(reason)) {
                    if (alive)
                        alive->deliver(mouseMessage);
                }
            });
            tray->show();
            return true;
        case NotifyIconMessage::Modify:
            if (!tray)
                return false;
            apply(*tray, data);
            return true;
        case NotifyIconMessage::Delete:
            delete tray;
            return tray != nullptr;
        }
        return false;
    }

private:
    static QSystemTrayIcon *trayOf(NotifyIconWindow &window)
    {
        return window.findChild<QSystemTrayIcon *>(QString(), Qt::FindDirectChildrenOnly);
    }

    static void apply(QSystemTrayIcon &tray, const NotifyIconData &data)
    {
        tray.setIcon(data.icon);
        tray.setToolTip(data.tip);
    }

    // Qt reports no notification area that appears later, so the desktop is asked again
    // every second while a window waits for one.
    void waitForArea(NotifyIconWindow &window)
    {
        if (!m_waiting.contains(&window))
            m_waiting << &window;
        if (!m_poll) {
            m_poll = new QTimer;
            m_poll->setInterval(1000);
            QObject::connect(m_poll, &QTimer::timeout, m_poll, [this] { checkArea(); });
        }
        m_poll->start();
    }

    void checkArea()
    {
        m_waiting.removeAll(nullptr);
        if (m_waiting.isEmpty()) {
            m_poll->stop();
            return;
        }
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return;
        m_poll->stop();
        const QList<QPointer<NotifyIconWindow>> waiting = std::exchange(m_waiting, {});
        for (const QPointer<NotifyIconWindow> &window : waiting) {
            if (window)
                window->notifyAreaAppeared();
        }
    }

    QList<QPointer<NotifyIconWindow>> m_waiting;
    QTimer *m_poll = nullptr;  // lives as long as the program
};

NotifyArea *g_installed = nullptr;

}  // namespace

NotifyArea &notifyArea()
{
    static DesktopNotifyArea desktop;
    return g_installed ? *g_installed : desktop;
}

void setNotifyArea(NotifyArea *area)
{
    g_installed = area;
}

}  // namespace platform
