#pragma once
#include <QDateTime>
#include <functional>

namespace platform {

// The current local date and time, from the system clock unless a test set a reader.
QDateTime currentDateTime();

// Replaces the system clock (tests); an empty reader restores it.
using ClockReader = std::function<QDateTime()>;
void setClockReader(ClockReader reader);

}  // namespace platform
