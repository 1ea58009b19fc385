#include "window/win32/win32listaccessible.h"

#include "window/recordstore.h"
#include "window/recordtext.h"

#include <commctrl.h>

#include <exception>
#include <new>
#include <string>

namespace {

BSTR toBstr(const std::u16string &text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()), static_cast<UINT>(text.size()));
}

} // namespace

Win32ListAccessible::Win32ListAccessible(HWND list, const RecordStore &records, IAccessible *system)
    : m_list(list)
    , m_records(records)
    , m_system(system)
{
}

Win32ListAccessible::~Win32ListAccessible()
{
    m_system->Release();
}

LRESULT Win32ListAccessible::answer(HWND list, const RecordStore &records, WPARAM flags)
{
    IAccessible *system = nullptr;
    if (FAILED(CreateStdAccessibleObject(list, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&system))))
        return 0;
    auto *object = new (std::nothrow) Win32ListAccessible(list, records, system);
    if (!object) {
        system->Release();
        return 0;
    }
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), flags, object);
    object->Release(); // the result holds its own reference
    return SUCCEEDED(result) ? result : 0;
}

HRESULT Win32ListAccessible::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Win32ListAccessible::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG Win32ListAccessible::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT Win32ListAccessible::get_accName(VARIANT child, BSTR *name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    // A reader may hold on to this object after the window has gone.
    if (!IsWindow(m_list) || child.vt != VT_I4)
        return E_INVALIDARG;
    try {
        if (child.lVal == CHILDID_SELF) {
            std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(m_list)) + 1, u'\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextW(m_list, reinterpret_cast<wchar_t *>(text.data()), static_cast<int>(text.size()))));
            *name = toBstr(text);
        } else {
            const auto row = static_cast<std::size_t>(child.lVal - 1);
            if (child.lVal < 1 || row >= static_cast<std::size_t>(ListView_GetItemCount(m_list)) ||
                row >= m_records.size())
                return E_INVALIDARG;
            *name = toBstr(RecordText::whole(m_records[row]));
        }
    } catch (const std::exception &) {
        return E_OUTOFMEMORY;
    }
    return *name ? S_OK : E_OUTOFMEMORY;
}

// Every other question goes to the system's object as it is.

HRESULT Win32ListAccessible::GetTypeInfoCount(UINT *count) { return m_system->GetTypeInfoCount(count); }
HRESULT Win32ListAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo **info)
{
    return m_system->GetTypeInfo(index, locale, info);
}
HRESULT Win32ListAccessible::GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids)
{
    return m_system->GetIDsOfNames(iid, names, count, locale, ids);
}
HRESULT Win32ListAccessible::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                                    VARIANT *result, EXCEPINFO *exception, UINT *argument)
{
    return m_system->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
}
HRESULT Win32ListAccessible::get_accParent(IDispatch **parent) { return m_system->get_accParent(parent); }
HRESULT Win32ListAccessible::get_accChildCount(LONG *count) { return m_system->get_accChildCount(count); }
HRESULT Win32ListAccessible::get_accChild(VARIANT child, IDispatch **object)
{
    return m_system->get_accChild(child, object);
}
HRESULT Win32ListAccessible::get_accValue(VARIANT child, BSTR *value) { return m_system->get_accValue(child, value); }
HRESULT Win32ListAccessible::get_accDescription(VARIANT child, BSTR *description)
{
    return m_system->get_accDescription(child, description);
}
HRESULT Win32ListAccessible::get_accRole(VARIANT child, VARIANT *role) { return m_system->get_accRole(child, role); }
HRESULT Win32ListAccessible::get_accState(VARIANT child, VARIANT *state)
{
    return m_system->get_accState(child, state);
}
HRESULT Win32ListAccessible::get_accHelp(VARIANT child, BSTR *help) { return m_system->get_accHelp(child, help); }
HRESULT Win32ListAccessible::get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic)
{
    return m_system->get_accHelpTopic(file, child, topic);
}
HRESULT Win32ListAccessible::get_accKeyboardShortcut(VARIANT child, BSTR *shortcut)
{
    return m_system->get_accKeyboardShortcut(child, shortcut);
}
HRESULT Win32ListAccessible::get_accFocus(VARIANT *focus) { return m_system->get_accFocus(focus); }
HRESULT Win32ListAccessible::get_accSelection(VARIANT *selection) { return m_system->get_accSelection(selection); }
HRESULT Win32ListAccessible::get_accDefaultAction(VARIANT child, BSTR *action)
{
    return m_system->get_accDefaultAction(child, action);
}
HRESULT Win32ListAccessible::accSelect(LONG flags, VARIANT child) { return m_system->accSelect(flags, child); }
HRESULT Win32ListAccessible::accLocation(LONG *left, LONG *top, LONG *width, LONG *height, VARIANT child)
{
    return m_system->accLocation(left, top, width, height, child);
}
HRESULT Win32ListAccessible::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    return m_system->accNavigate(direction, start, end);
}
HRESULT Win32ListAccessible::accHitTest(LONG left, LONG top, VARIANT *child)
{
    return m_system->accHitTest(left, top, child);
}
HRESULT Win32ListAccessible::accDoDefaultAction(VARIANT child) { return m_system->accDoDefaultAction(child); }
HRESULT Win32ListAccessible::put_accName(VARIANT child, BSTR name) { return m_system->put_accName(child, name); }
HRESULT Win32ListAccessible::put_accValue(VARIANT child, BSTR value) { return m_system->put_accValue(child, value); }
