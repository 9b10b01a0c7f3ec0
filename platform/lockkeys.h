#pragma once
#include <functional>

namespace platform {

// Whether Caps Lock and Num Lock are on.
struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool operator==(const LockKeyState &) const = default;
};

// The lock keys as the windowing system reports them: read from the X server's keyboard
// indicators where the program runs on one, both off elsewhere.
LockKeyState lockKeyState();

// Replaces the system reading (tests); an empty reader restores it.
using LockKeyReader = std::function<LockKeyState()>;
void setLockKeyReader(LockKeyReader reader);

}  // namespace platform
