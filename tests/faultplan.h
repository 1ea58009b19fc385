#pragma once

#include <cstddef>

// Which operation of a run fails: every open, read, write, truncate and close of the
// test file layer and every allocation of the list's memory counts as one point, in
// the order they happen. failAt = 0 fails nothing.
struct FaultPlan
{
    std::size_t failAt = 0;
    std::size_t seen = 0;
    bool fired = false;

    // Counts one point; true when this is the one to fail.
    bool failsNow()
    {
        if (failAt == 0 || fired || ++seen != failAt)
            return false;
        fired = true;
        return true;
    }
};
