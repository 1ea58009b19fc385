#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

// A fresh folder in the temporary folder for one test's files, removed afterwards with
// everything in it, read-only files and paths past MAX_PATH included.
class WideScratchFolder
{
public:
    WideScratchFolder()
    {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH)
            throw std::runtime_error("no temporary folder");
        static unsigned serial = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = std::wstring(temp, length) + L"pagesift-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
                + std::to_wstring(++serial);
            if (::CreateDirectoryW(m_path.c_str(), nullptr))
                return;
        }
        throw std::runtime_error("cannot create a scratch folder");
    }
    ~WideScratchFolder() { removeAll(L"\\\\?\\" + m_path); }
    WideScratchFolder(const WideScratchFolder &) = delete;
    WideScratchFolder &operator=(const WideScratchFolder &) = delete;

    const std::wstring &path() const { return m_path; }
    std::wstring path(std::wstring_view name) const { return m_path + L"\\" + std::wstring(name); }

    static void write(const std::wstring &file, std::string_view bytes)
    {
        HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        const bool ok = handle != INVALID_HANDLE_VALUE
            && ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            && written == bytes.size();
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
        if (!ok)
            throw std::runtime_error("cannot write a scratch file");
    }

private:
    static void removeAll(const std::wstring &folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                const DWORD attributes = entry.dwFileAttributes;
                if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    removeAll(path);
                else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    ::RemoveDirectoryW(path.c_str()); // a junction: not what it points to
                else
                    ::DeleteFileW(path.c_str());
            } while (::FindNextFileW(find, &entry));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring m_path;
};
