#pragma once

#include <cstdint>

// The scan's two 16-bit counters. The window owns them for its whole life; every scan
// sets both to 0 once its files are open.
struct ScanCounters
{
    std::int16_t ColumnIndex = 0;
    std::int16_t LineNumber = 0;
};
