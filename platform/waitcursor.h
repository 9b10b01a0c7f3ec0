#pragma once

// Shows the hourglass cursor for the lifetime of the guard and restores the previous
// cursor when the guard goes out of scope, on every path including exceptions.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_active = false;
};
