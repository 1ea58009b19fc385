#pragma once

#include "platform/outputfile.h"

// A report open on a file descriptor, which it owns. `regular` tells a file, which can
// be cut and is locked, from a device, which holds nothing and is shared by all.
class PosixOutputFile final : public OutputFile
{
public:
    PosixOutputFile(int fd, const FileIdentity &identity, bool regular)
        : m_fd(fd), m_identity(identity), m_regular(regular) {}
    ~PosixOutputFile() override;
    PosixOutputFile(const PosixOutputFile &) = delete;
    PosixOutputFile &operator=(const PosixOutputFile &) = delete;

    WriteResult write(std::span<const char> bytes) override;
    WriteResult writeGathered(std::span<const std::span<const char>> pieces) override;
    std::optional<Failure> truncate(std::uint64_t size) override;
    std::optional<Failure> close() override;
    FileIdentity identity() const override { return m_identity; }

private:
    int m_fd;
    FileIdentity m_identity;
    bool m_regular;
    bool m_claimed = false; // its exclusive lock is held, or the file system keeps none
};
