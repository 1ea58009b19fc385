#pragma once

#include <array>
#include <cstdint>

// Which file an open handle refers to, whatever name or link it was opened by: the
// volume and the file's number on it (device and inode; volume serial and file index).
// Two handles with the same identity are the same file.
struct FileIdentity
{
    std::uint64_t volume = 0;
    std::array<std::uint64_t, 2> file{};

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};
