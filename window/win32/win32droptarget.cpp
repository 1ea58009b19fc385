#include "window/win32/win32droptarget.h"

#include <shellapi.h>

#include <exception>
#include <utility>

namespace {

// The first file the drag holds, or nothing when it holds no file.
std::optional<std::u16string> firstFile(IDataObject *data)
{
    if (!data)
        return std::nullopt;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return std::nullopt;
    std::optional<std::u16string> file;
    if (const auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
            std::wstring name(static_cast<std::size_t>(DragQueryFileW(drop, 0, nullptr, 0)) + 1, L'\0');
            name.resize(DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size())));
            file.emplace(name.begin(), name.end());
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return file;
}

} // namespace

Win32DropTarget::Win32DropTarget(Decisions decisions)
    : m_decisions(std::move(decisions))
{
}

HRESULT Win32DropTarget::QueryInterface(REFIID id, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Win32DropTarget::AddRef()
{
    return ++m_references;
}

ULONG Win32DropTarget::Release()
{
    return --m_references;
}

DWORD Win32DropTarget::effectFor(DWORD offered) const
{
    return m_file ? m_decisions.effect(offered) : DROPEFFECT_NONE;
}

HRESULT Win32DropTarget::DragEnter(IDataObject *data, DWORD, POINTL, DWORD *effect)
{
    // No exception may cross into the system's code that called this.
    try {
        m_file = firstFile(data);
        *effect = effectFor(*effect);
    } catch (const std::exception &) {
        m_file.reset();
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT Win32DropTarget::DragOver(DWORD, POINTL, DWORD *effect)
{
    *effect = effectFor(*effect);
    return S_OK;
}

HRESULT Win32DropTarget::DragLeave()
{
    m_file.reset();
    return S_OK;
}

HRESULT Win32DropTarget::Drop(IDataObject *data, DWORD, POINTL at, DWORD *effect)
{
    try {
        m_file = firstFile(data);
        const DWORD taken = effectFor(*effect);
        *effect = taken != DROPEFFECT_NONE && m_decisions.drop({at.x, at.y}, *m_file) ? taken : DROPEFFECT_NONE;
    } catch (const std::exception &) {
        MessageBeep(MB_OK);
        *effect = DROPEFFECT_NONE;
    }
    m_file.reset();
    return S_OK;
}
