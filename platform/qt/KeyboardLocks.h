// The lights of the lock keys as the X server keeps them. The status bar shows "CAP", "NUM"
// and "SCRL" from them.
#pragma once

#include <optional>

struct LockStates {
    // Each lock's light; empty where the keyboard has no such indicator.
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
};

// The keyboard's lock lights now; empty where the platform does not tell (not on X).
std::optional<LockStates> ReadLockStates();
