#pragma once

#include "platform/outputfile.h"
#include "platform/win32/win32handle.h"

// A report opened by Win32FileLayer: a disk file, or NUL, which takes every byte and
// keeps none.
class Win32OutputFile final : public OutputFile
{
public:
    Win32OutputFile(Win32Handle handle, FileIdentity identity, bool isDevice);

    WriteResult write(std::span<const char> bytes) override;
    // Also moves the file position to `size`, so that the next write continues there.
    std::optional<Failure> truncate(std::uint64_t size) override;
    std::optional<Failure> close() override;
    FileIdentity identity() const override { return m_identity; }

private:
    // Before the first change: marks the file as this scan's report, or says why not
    // (a page another scan reads, 70).
    std::optional<Failure> claim();

    Win32Handle m_handle;
    FileIdentity m_identity;
    bool m_isDevice;
    bool m_claimed = false;
};
