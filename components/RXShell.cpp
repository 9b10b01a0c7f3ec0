#include "components/RXShell.h"

#include "platform/application.h"

#include <algorithm>

namespace {

constexpr int kTipLength = 63;

}  // namespace

TRxTrayIcon::TRxTrayIcon(QObject *AOwner)
    : QObject(AOwner)
    , FIcon(std::make_unique<TIcon>())
    , FIcons(std::make_unique<TIconList>())
    , FHandle(new platform::NotifyIconWindow(this))
{
    FIcon->OnChange = [this](TIcon *) { ChangeIcon(); };
    FIcons->OnChange = [this](TIconList *) { ChangeIcon(); };
    FHandle->OnCallback = [this](int MouseMessage) { WndProc(MouseMessage); };
    FHandle->OnAreaAppeared = [this] { platform::runGuarded([this] { ChangeIcon(); }); };
}

TRxTrayIcon::~TRxTrayIcon()
{
    FDestroying = true;
    FIcon->OnChange = nullptr;
    FIcons->OnChange = nullptr;
    SetAnimated(false);
    Deactivate();
    delete FHandle;
    FHandle = nullptr;
}

QString TRxTrayIcon::TipOf(const QString &Hint)
{
    QString tip = Hint.section(QLatin1Char('|'), 0, 0);
    if (tip.size() > kTipLength) {
        // A character outside the basic plane is not cut in half.
        tip.truncate(tip.at(kTipLength - 1).isHighSurrogate() ? kTipLength - 1 : kTipLength);
    }
    return tip;
}

void TRxTrayIcon::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (Value)
        Activate();
    else
        Deactivate();
}

void TRxTrayIcon::SetHint(const QString &Value)
{
    if (Value == FHint)
        return;
    FHint = Value;
    ChangeIcon();
}

void TRxTrayIcon::SetIcon(const TIcon *Value)
{
    FIcon->Assign(Value);
}

void TRxTrayIcon::SetIcons(const TIconList *Value)
{
    FIcons->Assign(Value);
}

void TRxTrayIcon::Loaded()
{
    if (FActive)
        Activate();
}

TIcon *TRxTrayIcon::CurrentIcon() const
{
    if (FAnimated && FIcons->Count() > 0)
        return FIcons->Items(std::clamp(FIconIndex, 0, FIcons->Count() - 1));
    return FIcon.get();
}

void TRxTrayIcon::UpdateNotifyData()
{
    const TIcon *icon = CurrentIcon();
    FIconData.icon = icon ? icon->Handle() : QIcon();
    FIconData.tip = TipOf(FHint);
}

void TRxTrayIcon::Activate()
{
    Deactivate();
    const TIcon *icon = CurrentIcon();
    if (!icon || icon->Empty())
        return;
    FPressed = {};
    UpdateNotifyData();
    FAdded = platform::notifyArea().notifyIcon(platform::NotifyIconMessage::Add, *FHandle, FIconData);
    // The frames are timed only while the icon is in the notification area.
    if (FAnimated && FAdded)
        FTimer->Resume();
}

void TRxTrayIcon::Deactivate()
{
    platform::notifyArea().notifyIcon(platform::NotifyIconMessage::Delete, *FHandle, FIconData);
    FAdded = false;
    FPressed = {};
    if (FAnimated && !FTimer->Suspended())
        FTimer->Suspend();
}

void TRxTrayIcon::ChangeIcon()
{
    if (FIcons->Count() == 0)
        SetAnimated(false);
    if (FAdded) {
        const TIcon *icon = CurrentIcon();
        if (!icon || icon->Empty()) {
            Deactivate();
        } else {
            UpdateNotifyData();
            platform::notifyArea().notifyIcon(platform::NotifyIconMessage::Modify, *FHandle, FIconData);
        }
    } else if (FActive) {
        Activate();
    }
}

void TRxTrayIcon::SetAnimated(bool Value)
{
    const bool animate = Value && FIcons->Count() > 0;
    if (animate == FAnimated)
        return;
    if (animate) {
        FTimer = new TTimerThread(this, !FAdded);
        FAnimated = true;
    } else {
        FAnimated = false;
        // The worker lets go of this icon before it is told to end, so a retired worker
        // never asks for another frame.
        FTimer->ClearOwnerTray();
        FTimer->Terminate();
        FTimer = nullptr;
    }
    FIconIndex = 0;
    ChangeIcon();
}

void TRxTrayIcon::AdvanceFrame()
{
    if (FDestroying || !FAnimated)
        return;
    ++FIconIndex;
    if (FIconIndex >= FIcons->Count())
        FIconIndex = 0;
    ChangeIcon();
}
