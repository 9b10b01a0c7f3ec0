#pragma once
// Measurements shared by the benchmarks: the process's peak memory, an action's time, the
// processor time used so far, the load average, and letting posted work finish.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <ctime>
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

// Processor time the process has used so far, in milliseconds: on a busy machine it counts
// only this program's work, where wall time counts the other programs' too.
inline double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The system's load average line, printed beside wall times.
inline QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

// Everything the last action posted is handled, paint included.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

}  // namespace bench
