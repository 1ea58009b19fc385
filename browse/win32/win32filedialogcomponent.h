#pragma once

#include "browse/dialogrequest.h"
#include "browse/filedialogcomponent.h"

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>
#include <utility>

// The file dialog on the system's open-file or save-file dialog (GetOpenFileNameW,
// GetSaveFileNameW), showing what DialogRequest asks; without a folder of its own it
// starts in the current folder.
class Win32FileDialogComponent final : public FileDialogComponent
{
public:
    // `owner` names the window the dialog opens over and is modal to; without one, or
    // while it gives none, the active window is the owner.
    explicit Win32FileDialogComponent(std::function<HWND()> owner = nullptr)
        : m_owner(std::move(owner))
    {
    }

    std::u16string FileNameProperty() const override { return m_fileName; }
    void setFileNameProperty(std::u16string_view value) override { m_fileName = value; }
    std::u16string FilterProperty() const override { return m_filter; }
    void setFilterProperty(std::u16string_view value) override { m_filter = value; }
    void ShowOperation(std::int16_t action) override;

    // The filter list as the dialog takes it: "description\0pattern;pattern\0...\0".
    static std::wstring filterList(const DialogRequest &request);

    // Shows the prepared dialog, a save dialog when it asks before replacing; tests
    // answer it here instead. Returns what the system's dialog returns.
    std::function<BOOL(OPENFILENAMEW &)> show = [](OPENFILENAMEW &dialog) {
        return (dialog.Flags & OFN_OVERWRITEPROMPT) ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    };

private:
    std::function<HWND()> m_owner;
    std::u16string m_fileName;
    std::u16string m_filter;
};
