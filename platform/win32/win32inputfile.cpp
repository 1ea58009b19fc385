#include "platform/win32/win32inputfile.h"

#include "platform/win32/win32failure.h"
#include "platform/win32/win32iochunk.h"

#include <windows.h>

#include <utility>

Win32InputFile::Win32InputFile(Win32Handle handle, FileIdentity identity)
    : m_handle(std::move(handle))
    , m_identity(identity)
{
}

ByteSource::ReadResult Win32InputFile::read(std::span<char> buffer)
{
    DWORD count = 0;
    if (!::ReadFile(m_handle.get(), buffer.data(), win32IoChunk(buffer.size()), &count, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF)
            return {};
        return {0, failureFromLastError(error)};
    }
    return {count, std::nullopt};
}
