#pragma once

#include "failure.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A file created (or emptied) for writing, written through a buffer. Every write
// reports its failure; close() writes out what is buffered, so all that was written
// before a failure reaches the file.
class OutputFile
{
public:
    // Large writes keep the kernel's per-call cost off a report of many short records.
    explicit OutputFile(std::size_t bufferSize = 1024 * 1024);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    std::optional<Failure> open(const std::string &path);
    std::optional<Failure> write(std::string_view bytes);
    std::optional<Failure> flush();
    // Flushes, then closes; harmless on a file that is not open.
    std::optional<Failure> close();
    bool isOpen() const { return m_fd >= 0; }

private:
    std::optional<Failure> writeAll(std::string_view bytes);

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};
