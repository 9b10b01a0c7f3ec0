#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// The machine's memory as the about box reports it.
struct MemoryStatus {
    quint64 totalPhys = 0;  // bytes of physical memory
    quint64 availPhys = 0;  // bytes available to programs without swapping
    int memoryLoad = 0;     // per cent of physical memory in use, 0 to 100
};

// Reads the memory status of this machine (Linux: /proc/meminfo). Never fails: what
// cannot be read counts as 0.
MemoryStatus memoryStatus();

// The status described by the text of a /proc/meminfo file: MemTotal, and MemAvailable
// or, from kernels that lack it, MemFree + Buffers + Cached. Values are in KiB there.
MemoryStatus parseMemInfo(const QByteArray &text);

// Memory in use as a percentage of the total, rounded; 0 for a total of 0.
int memoryLoadPercent(quint64 total, quint64 available);

}  // namespace platform
