#include "tests/keyboard/keys_support.h"

#include <shellapi.h>

#include <cstring>
#include <mutex>

namespace qvkeys {

using namespace qvtest;

// ---------------------------------------------------------------- TestMachine

TestMachine::~TestMachine()
{
    while (!items_.empty())
        items_.pop_back();
}

bool TestMachine::Program(const std::wstring& path)
{
    auto item = std::make_unique<Holder<FileCopyGuard>>(RecorderExePath(), path);
    const bool ok = item->value.ok();
    items_.push_back(std::move(item));
    return ok;
}

bool TestMachine::Applet(const std::wstring& path)
{
    auto item = std::make_unique<Holder<FileCopyGuard>>(RecorderCplPath(), path);
    const bool ok = item->value.ok();
    items_.push_back(std::move(item));
    return ok;
}

bool TestMachine::Document(const std::wstring& path)
{
    auto item = std::make_unique<Holder<FileCopyGuard>>(FileContents{"%PDF-1.4\n% a test document\n"}, path);
    const bool ok = item->value.ok();
    items_.push_back(std::move(item));
    return ok;
}

bool TestMachine::Url(const std::wstring& key, const std::wstring& value, bool remove)
{
    auto item = std::make_unique<Holder<RegistryValueGuard>>(HKEY_LOCAL_MACHINE, key, L"URL", RegView::Bits64);
    const bool ok = remove ? (item->value.Delete() || !item->value.HadValue()) : item->value.SetString(value);
    items_.push_back(std::move(item));
    return ok;
}

bool TestMachine::Associate(const std::wstring& extension, const std::wstring& progId, const std::wstring& program)
{
    auto item = std::make_unique<Holder<qvtest::FileAssociation>>(extension, progId, program);
    const bool ok = item->value.ok();
    items_.push_back(std::move(item));
    return ok;
}

bool TestMachine::AssociateScheme(const std::wstring& scheme, const std::wstring& program)
{
    auto item = std::make_unique<Holder<UrlSchemeAssociation>>(scheme, program);
    const bool ok = item->value.ok();
    items_.push_back(std::move(item));
    return ok;
}

// ------------------------------------------------------------ ShellExecuteSpy

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

std::mutex g_spyLock;
std::vector<ShellCall> g_calls;
ShellExecuteFn g_realShellExecute = nullptr;

HINSTANCE WINAPI SpyShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                  INT show)
{
    ShellCall call;
    call.file = file ? file : L"";
    call.hasParameters = parameters != nullptr;
    call.parameters = parameters ? parameters : L"";
    call.hasDirectory = directory != nullptr;
    call.directory = directory ? directory : L"";
    {
        std::lock_guard<std::mutex> lock(g_spyLock);
        g_calls.push_back(call);
    }
    return g_realShellExecute(owner, verb, file, parameters, directory, show);
}

}  // namespace

// The pointer through which this program's calls of ShellExecuteW go: its
// import slot, or, where the shell is loaded at its first call, the delayed
// import's slot, which holds a loading stub until then.
extern "C" void* __imp_ShellExecuteW;

namespace {

void** FindShellExecuteSlot()
{
    return &__imp_ShellExecuteW;
}

void WriteSlot(void** slot, void* value)
{
    DWORD old = 0;
    if (VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) {
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old, &old);
    }
}

}  // namespace

ShellExecuteSpy::ShellExecuteSpy()
{
    void** slot = FindShellExecuteSlot();
    if (!slot)
        return;
    {
        std::lock_guard<std::mutex> lock(g_spyLock);
        g_calls.clear();
        // The shell's own function, not what the slot holds: a delayed
        // import's slot holds a stub that would write the function over the spy.
        g_realShellExecute = reinterpret_cast<ShellExecuteFn>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "ShellExecuteW")));
    }
    WriteSlot(slot, reinterpret_cast<void*>(&SpyShellExecuteW));
    if (*slot == reinterpret_cast<void*>(&SpyShellExecuteW))
        slot_ = slot;
}

ShellExecuteSpy::~ShellExecuteSpy()
{
    if (slot_)
        WriteSlot(slot_, reinterpret_cast<void*>(g_realShellExecute));
}

std::vector<ShellCall> ShellExecuteSpy::Calls() const
{
    std::lock_guard<std::mutex> lock(g_spyLock);
    return g_calls;
}

// ---------------------------------------------------------------- OtherWindow

OtherWindow::OtherWindow(RECT where)
{
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, where] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"QvKeysOtherWindow";
        RegisterClassW(&wc);
        HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Another program", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                    where.left, where.top, where.right - where.left, where.bottom - where.top,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        hwnd_ = hwnd;
        SetEvent(ready_);
        MSG msg;
        while (hwnd && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_APP) {
                DestroyWindow(hwnd);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    });
    WaitForSingleObject(ready_, kDeadlineMs);
}

OtherWindow::~OtherWindow()
{
    if (hwnd_)
        PostMessageW(hwnd_, WM_APP, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

// ------------------------------------------------------------ ArrowKeyCounter

namespace {

struct Counted {
    HWND hwnd;
    WNDPROC previous;
    long count;
};
Counted g_counted[8];

Counted* FindCounted(HWND hwnd)
{
    for (Counted& c : g_counted)
        if (c.hwnd == hwnd && hwnd)
            return &c;
    return nullptr;
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Counted* c = FindCounted(hwnd);
    if (!c)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN))
        InterlockedIncrement(&c->count);
    return CallWindowProcW(c->previous, hwnd, message, wParam, lParam);
}

}  // namespace

bool ArrowKeyCounter::Install(HWND hwnd)
{
    if (!hwnd || FindCounted(hwnd))
        return false;
    for (Counted& c : g_counted) {
        if (c.hwnd == nullptr) {
            c.hwnd = hwnd;
            c.count = 0;
            c.previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
            return c.previous != nullptr;
        }
    }
    return false;
}

void ArrowKeyCounter::Remove(HWND hwnd)
{
    if (Counted* c = FindCounted(hwnd)) {
        if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CountingProc))
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c->previous));
        c->hwnd = nullptr;
    }
}

long ArrowKeyCounter::Count(HWND hwnd)
{
    Counted* c = FindCounted(hwnd);
    return c ? InterlockedCompareExchange(&c->count, 0, 0) : -1;
}

// ------------------------------------------------------------------- keyboard

bool WaitForFocus(HWND dialog, int id, DWORD timeoutMs)
{
    return WaitUntil([&] { return FocusedControlId(dialog) == id; }, timeoutMs);
}

void Press(HWND dialog, WORD key, unsigned modifiers)
{
    PressKey(key, modifiers);
    Settle(dialog);
}

}  // namespace qvkeys
