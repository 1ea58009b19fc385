#pragma once

#include "bytesource.h"

#include <optional>
#include <string>

// A file opened for sequential reading. Opening never blocks, even on a FIFO that has
// no writer, and refuses a folder, so a bad name always ends in a Failure.
class InputFile final : public ByteSource
{
public:
    InputFile() = default;
    ~InputFile() override;
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    std::optional<Failure> open(const std::string &path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // True when `path` names this very file: the same path written differently, or a
    // symbolic or hard link to it. Opening such a name for writing would empty the input.
    bool isSameFileAs(const std::string &path) const;

    ReadResult read(std::span<char> buffer) override;

private:
    int m_fd = -1;
};
