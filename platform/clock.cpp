#include "platform/clock.h"

namespace platform {

namespace {

ClockReader &installedReader()
{
    static ClockReader reader;
    return reader;
}

}  // namespace

QDateTime currentDateTime()
{
    const ClockReader &reader = installedReader();
    return reader ? reader() : QDateTime::currentDateTime();
}

void setClockReader(ClockReader reader)
{
    installedReader() = std::move(reader);
}

}  // namespace platform
