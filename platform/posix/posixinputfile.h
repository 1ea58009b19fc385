#pragma once

#include "platform/inputfile.h"

// A page open on a file descriptor, which it owns.
class PosixInputFile final : public InputFile
{
public:
    PosixInputFile(int fd, const FileIdentity &identity) : m_fd(fd), m_identity(identity) {}
    ~PosixInputFile() override;
    PosixInputFile(const PosixInputFile &) = delete;
    PosixInputFile &operator=(const PosixInputFile &) = delete;

    ReadResult read(std::span<char> buffer) override;
    FileIdentity identity() const override { return m_identity; }

private:
    int m_fd;
    FileIdentity m_identity;
};
