#pragma once

#include <algorithm>
#include <cstddef>

// The most one ReadFile or WriteFile call is asked to move. The API takes a DWORD, but
// very large calls through a network redirector fail on older Windows
// (ERROR_NO_SYSTEM_RESOURCES); the callers take short counts in their stride.
inline unsigned long win32IoChunk(std::size_t size)
{
    return static_cast<unsigned long>(std::min<std::size_t>(size, std::size_t{16} << 20));
}
