#pragma once

#include "failure.h"

#include <cstddef>
#include <optional>
#include <span>

// Where the line reader gets its bytes: a file in the program, a memory buffer in tests.
class ByteSource
{
public:
    struct ReadResult
    {
        std::size_t count = 0; // 0 with no failure means the end of the input
        std::optional<Failure> failure;
    };

    virtual ~ByteSource() = default;
    virtual ReadResult read(std::span<char> buffer) = 0;
};
