#pragma once

#include <windows.h>

#include <oleidl.h>

#include <functional>
#include <optional>
#include <string>

// The window as an OLE drop target: sees the effects a drag offers and the first file
// it holds (CF_HDROP), asks what to do with them and tells the dragging program the
// effect taken, or none. It decides nothing itself.
class Win32DropTarget final : public IDropTarget
{
public:
    // What the window decides: the effect of those offered that a drop of a file would
    // be taken with (DROPEFFECT_NONE refuses it), and whether the file dropped at a
    // point on the screen was taken.
    struct Decisions
    {
        std::function<DWORD(DWORD offered)> effect;
        std::function<bool(POINT at, const std::u16string &file)> drop;
    };

    explicit Win32DropTarget(Decisions decisions);

    // IUnknown: the window owns this object, so the count never frees it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject *data, DWORD keys, POINTL at, DWORD *effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD *effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject *data, DWORD keys, POINTL at, DWORD *effect) override;

private:
    DWORD effectFor(DWORD offered) const;

    Decisions m_decisions;
    std::optional<std::u16string> m_file; // of the drag over the window
    ULONG m_references = 1;
};
