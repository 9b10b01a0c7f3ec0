#pragma once
// Measurements shared by the benchmarks: the process's peak memory and an action's time.
#include <QElapsedTimer>
#include <QFile>
#include <functional>

namespace bench {

// The process's peak resident memory in MiB, or -1 where the system does not report it.
inline double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Wall time of `action` in milliseconds.
inline double timeMs(const std::function<void()> &action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace bench
