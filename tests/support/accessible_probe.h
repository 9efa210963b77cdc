// What assistive technology is told about another process's windows: the
// accessible object of a window's client area (oleacc, as a screen reader
// asks for it) and the WinEvents that process raises.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace qvtest {

class AccessibleProbe {
public:
    explicit AccessibleProbe(HWND hwnd);  // AccessibleObjectFromWindow(OBJID_CLIENT)
    ~AccessibleProbe();
    AccessibleProbe(const AccessibleProbe&) = delete;
    AccessibleProbe& operator=(const AccessibleProbe&) = delete;

    bool ok() const { return object_ != nullptr; }
    // Properties of the object itself (child CHILDID_SELF) or of a child id;
    // empty text, or -1, when the call fails.
    std::wstring Name(long child = CHILDID_SELF) const;
    std::wstring Description(long child = CHILDID_SELF) const;
    std::wstring DefaultAction(long child = CHILDID_SELF) const;
    long Role(long child = CHILDID_SELF) const;
    long State(long child = CHILDID_SELF) const;
    long ChildCount() const;
    bool DoDefaultAction(long child = CHILDID_SELF) const;

private:
    IAccessible* object_ = nullptr;
    bool com_ = false;
};

// Counts one kind of WinEvent (event, window, object id) raised by a process
// while the counter lives. Events reach this thread when it pumps its
// messages, which Count() does.
class WinEventCounter {
public:
    WinEventCounter(DWORD pid, DWORD event, HWND hwnd, LONG objectId);
    ~WinEventCounter();
    WinEventCounter(const WinEventCounter&) = delete;
    WinEventCounter& operator=(const WinEventCounter&) = delete;

    bool ok() const { return hook_ != nullptr; }
    long Count() const;

private:
    static void CALLBACK Callback(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);
    HWINEVENTHOOK hook_ = nullptr;
    HWND hwnd_;
    LONG objectId_;
    long count_ = 0;
};

}  // namespace qvtest
