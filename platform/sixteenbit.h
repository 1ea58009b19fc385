#pragma once

#include <cstdint>
#include <limits>

// The scan and the browse count positions, lengths and lines in signed 16-bit integers,
// as the program always has, and a name field holds as many characters: a line, a page
// and a name all stop at 32,767.
inline constexpr std::int16_t SixteenBitLimit = std::numeric_limits<std::int16_t>::max();
