#pragma once

#include "platform/failure.h"

#include <cstddef>
#include <optional>
#include <span>

// Where the line reader gets its bytes: a file in the program, memory in tests.
class ByteSource
{
public:
    struct ReadResult
    {
        std::size_t count = 0; // 0 with no failure means the end of the input
        std::optional<Failure> failure;
    };

    virtual ~ByteSource() = default;
    // Reads at most buffer.size() bytes, which is never 0; a short count is not the end.
    virtual ReadResult read(std::span<char> buffer) = 0;
};
