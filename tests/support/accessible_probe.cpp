#include "tests/support/accessible_probe.h"

#include <vector>

namespace qvtest {

namespace {

VARIANT Child(long child)
{
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

// A text or a number property of child `child`: empty, or -1, on failure.
std::wstring Text(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child)
{
    BSTR text = nullptr;
    const HRESULT hr = object ? (object->*get)(Child(child), &text) : E_POINTER;
    std::wstring result = SUCCEEDED(hr) && text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child)
{
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = object ? (object->*get)(Child(child), &value) : E_POINTER;
    const long result = hr == S_OK && value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
    return result;
}

// The counters of this thread's hooks (a callback gets only its hook's handle).
thread_local std::vector<std::pair<HWINEVENTHOOK, WinEventCounter*>> t_counters;

}  // namespace

AccessibleProbe::AccessibleProbe(HWND hwnd)
{
    com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    // The interface's own identifier: the IID_IAccessible of the import
    // library gives E_NOINTERFACE under Wine.
    void* object = nullptr;
    if (com_ && SUCCEEDED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                     __uuidof(IAccessible), &object)))
        object_ = static_cast<IAccessible*>(object);
}

AccessibleProbe::~AccessibleProbe()
{
    if (object_)
        object_->Release();
    if (com_)
        CoUninitialize();
}

std::wstring AccessibleProbe::Name(long child) const { return Text(object_, &IAccessible::get_accName, child); }

std::wstring AccessibleProbe::Description(long child) const
{
    return Text(object_, &IAccessible::get_accDescription, child);
}

std::wstring AccessibleProbe::DefaultAction(long child) const
{
    return Text(object_, &IAccessible::get_accDefaultAction, child);
}

long AccessibleProbe::Role(long child) const { return Number(object_, &IAccessible::get_accRole, child); }
long AccessibleProbe::State(long child) const { return Number(object_, &IAccessible::get_accState, child); }

long AccessibleProbe::ChildCount() const
{
    long count = -1;
    return object_ && object_->get_accChildCount(&count) == S_OK ? count : -1;
}

bool AccessibleProbe::DoDefaultAction(long child) const
{
    return object_ && object_->accDoDefaultAction(Child(child)) == S_OK;
}

WinEventCounter::WinEventCounter(DWORD pid, DWORD event, HWND hwnd, LONG objectId)
    : hwnd_(hwnd), objectId_(objectId)
{
    hook_ = SetWinEventHook(event, event, nullptr, Callback, pid, 0, WINEVENT_OUTOFCONTEXT);
    if (hook_)
        t_counters.emplace_back(hook_, this);
}

WinEventCounter::~WinEventCounter()
{
    if (!hook_)
        return;
    UnhookWinEvent(hook_);
    for (auto it = t_counters.begin(); it != t_counters.end(); ++it) {
        if (it->first == hook_) {
            t_counters.erase(it);
            break;
        }
    }
}

void CALLBACK WinEventCounter::Callback(HWINEVENTHOOK hook, DWORD, HWND hwnd, LONG objectId, LONG, DWORD, DWORD)
{
    for (const auto& [h, counter] : t_counters) {
        if (h == hook && hwnd == counter->hwnd_ && objectId == counter->objectId_)
            ++counter->count_;
    }
}

long WinEventCounter::Count() const
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return count_;
}

}  // namespace qvtest
