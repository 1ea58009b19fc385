#include "platform/win32/win32filelayer.h"

#include "platform/win32/win32failure.h"
#include "platform/win32/win32filename.h"
#include "platform/win32/win32handle.h"
#include "platform/win32/win32inputfile.h"
#include "platform/win32/win32outputfile.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

namespace {

// NUL has no file number. One fixed identity makes NUL as both page and report the same
// file, as /dev/null is on Linux; the volume number is past every real (32-bit) serial.
constexpr FileIdentity nullDeviceIdentity{std::numeric_limits<std::uint64_t>::max(), {0, 0}};

struct Checked
{
    Win32Handle handle;
    FileIdentity identity;
    bool isDevice = false;
    std::optional<Failure> failure;
};

Checked refused(Failure failure)
{
    return {{}, {}, false, std::move(failure)};
}

// Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, and Windows says
// ERROR_ACCESS_DENIED: only the folder's attributes tell it from a locked file.
Failure openFailure(const Win32FileName &name, DWORD error)
{
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = ::GetFileAttributesW(name.path());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Failure::of(Failure::PathFileAccessError);
    }
    return failureFromLastError(error);
}

Checked openChecked(std::u16string_view typed, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    const Win32FileName name(typed);
    if (name.refusal())
        return refused(*name.refusal());
    // Should a name still reach a pipe, its server may not act as the user.
    flags |= SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
    Win32Handle handle(::CreateFileW(name.path(), access, share, nullptr, disposition, flags, nullptr));
    if (!handle.isOpen())
        return refused(openFailure(name, ::GetLastError()));

    switch (::GetFileType(handle.get())) {
    case FILE_TYPE_DISK: {
        // Without an identity the scan could not tell the report from the page, and
        // emptying the report could destroy the page.
        const auto identity = handle.identity();
        if (!identity)
            return refused(failureFromLastError(::GetLastError()));
        return {std::move(handle), *identity, false, std::nullopt};
    }
    case FILE_TYPE_CHAR: {
        DWORD consoleMode = 0;
        if (name.isNullDevice() && !::GetConsoleMode(handle.get(), &consoleMode))
            return {std::move(handle), nullDeviceIdentity, true, std::nullopt};
        break;
    }
    default:
        break;
    }
    return refused(Failure::of(Failure::PathFileAccessError));
}

} // namespace

FileLayer::Opened<InputFile> Win32FileLayer::openInput(std::u16string_view name)
{
    // Others may go on reading, writing, renaming or deleting the page while it is read.
    Checked opened = openChecked(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
    if (opened.failure)
        return {nullptr, std::move(opened.failure)};
    // Marked as a page being read, so that no other scan empties it as its report. A
    // page that is another scan's report is read all the same, unmarked.
    if (!opened.isDevice)
        opened.handle.mark(false);
    return {std::make_unique<Win32InputFile>(std::move(opened.handle), opened.identity), std::nullopt};
}

FileLayer::Opened<OutputFile> Win32FileLayer::openOutput(std::u16string_view name)
{
    // OPEN_ALWAYS keeps what the file holds until the scan has compared identities.
    // Readers may share the report, another writer may not; FILE_SHARE_READ also lets
    // it open beside this program's own handle on the page when both are one file, so
    // that the scan, not a sharing violation, reports it. The report is marked only
    // before its first change (Win32OutputFile): the page's own mark must not hide
    // that they are one file.
    Checked opened = openChecked(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (opened.failure)
        return {nullptr, std::move(opened.failure)};
    return {std::make_unique<Win32OutputFile>(std::move(opened.handle), opened.identity, opened.isDevice),
            std::nullopt};
}

FileLayer &FileLayer::system()
{
    static Win32FileLayer layer;
    return layer;
}
