#pragma once

#include "platform/inputfile.h"
#include "platform/win32/win32handle.h"

// A page opened by Win32FileLayer: a disk file, or NUL, which reads as empty.
class Win32InputFile final : public InputFile
{
public:
    Win32InputFile(Win32Handle handle, FileIdentity identity);

    ReadResult read(std::span<char> buffer) override;
    FileIdentity identity() const override { return m_identity; }

private:
    Win32Handle m_handle;
    FileIdentity m_identity;
};
