#include "platform/win32/win32outputfile.h"

#include "platform/win32/win32failure.h"
#include "platform/win32/win32iochunk.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <utility>

Win32OutputFile::Win32OutputFile(Win32Handle handle, FileIdentity identity, bool isDevice)
    : m_handle(std::move(handle))
    , m_identity(identity)
    , m_isDevice(isDevice)
{
}

OutputFile::WriteResult Win32OutputFile::write(std::span<const char> bytes)
{
    if (bytes.empty())
        return {};
    if (!m_handle.isOpen())
        return {0, Failure::of(Failure::DeviceIoError)};
    if (auto failure = claim())
        return {0, std::move(failure)};
    DWORD count = 0;
    if (!::WriteFile(m_handle.get(), bytes.data(), win32IoChunk(bytes.size()), &count, nullptr))
        return {0, failureFromLastError(::GetLastError())};
    // Nothing taken and nothing said: reported, or the caller would retry for ever.
    if (count == 0)
        return {0, Failure::of(Failure::DeviceIoError)};
    return {count, std::nullopt};
}

std::optional<Failure> Win32OutputFile::truncate(std::uint64_t size)
{
    if (m_isDevice)
        return std::nullopt;
    if (!m_handle.isOpen())
        return Failure::of(Failure::DeviceIoError);
    if (auto failure = claim())
        return failure;
    if (size > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()))
        return Failure::of(Failure::FileTooLarge);
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(m_handle.get(), position, nullptr, FILE_BEGIN) || !::SetEndOfFile(m_handle.get()))
        return failureFromLastError(::GetLastError());
    return std::nullopt;
}

std::optional<Failure> Win32OutputFile::close()
{
    return m_handle.close();
}

std::optional<Failure> Win32OutputFile::claim()
{
    if (m_claimed || m_isDevice)
        return std::nullopt;
    // Only another scan's mark refuses the report: a file system that has no locks
    // takes it unmarked, as before.
    if (!m_handle.mark(true)) {
        if (const DWORD error = ::GetLastError(); error == ERROR_LOCK_VIOLATION)
            return failureFromLastError(error);
    }
    m_claimed = true;
    return std::nullopt;
}
