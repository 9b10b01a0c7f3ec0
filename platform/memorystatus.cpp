#include "platform/memorystatus.h"

#include <QFile>
#include <QHash>
#include <QList>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

int memoryLoadPercent(quint64 total, quint64 available)
{
    if (total == 0)
        return 0;
    const quint64 used = available < total ? total - available : 0;
    return int((used * 200 + total) / (total * 2));  // rounded to the nearest per cent
}

MemoryStatus parseMemInfo(const QByteArray &text)
{
    QHash<QByteArray, quint64> kib;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const quint64 value = fields.value(0).toULongLong(&ok);
        if (ok)
            kib.insert(line.left(colon).trimmed(), value);
    }
    MemoryStatus status;
    status.totalPhys = kib.value("MemTotal") * 1024;
    const quint64 available = kib.contains("MemAvailable")
                                  ? kib.value("MemAvailable")
                                  : kib.value("MemFree") + kib.value("Buffers") + kib.value("Cached");
    status.availPhys = qMin(available * 1024, status.totalPhys);
    status.memoryLoad = memoryLoadPercent(status.totalPhys, status.availPhys);
    return status;
}

MemoryStatus memoryStatus()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX query{};
    query.dwLength = sizeof(query);
    if (!GlobalMemoryStatusEx(&query))
        return {};
    return {query.ullTotalPhys, query.ullAvailPhys, int(query.dwMemoryLoad)};
#else
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseMemInfo(file.readAll());
#endif
}

}  // namespace platform
