#include "components/RXShell.h"

#include <QCoreApplication>

TTimerThread::TTimerThread(TRxTrayIcon *AOwnerTray, bool CreateSuspended)
    : FOwnerTray(AOwnerTray)
{
    FWait.setSingleShot(true);
    connect(&FWait, &QTimer::timeout, this, &TTimerThread::Expire);
    if (!CreateSuspended)
        Resume();
}

bool TTimerThread::Closed() const
{
    return FTerminated || QCoreApplication::closingDown() || !FOwnerTray;
}

void TTimerThread::StartWait()
{
    FWait.start(FOwnerTray->Interval());
}

void TTimerThread::Resume()
{
    if (FRunning || Closed())
        return;
    FRunning = true;
    StartWait();
}

void TTimerThread::Suspend()
{
    FRunning = false;
    FWait.stop();
}

void TTimerThread::Terminate()
{
    if (FTerminated)
        return;
    FTerminated = true;
    Suspend();
    deleteLater();
}

void TTimerThread::Expire()
{
    if (!FRunning || Closed())
        return;
    if (FOwnerTray->Animated())
        FOwnerTray->AdvanceFrame();
    // The frame may have stopped the animation (the worker then has no owner) or taken
    // the icon out of the notification area (the worker is then suspended).
    if (FRunning && !Closed())
        StartWait();
}
