// Helpers of the footer, keyboard and end-to-end tests: the utilities a test
// installs, a look at what the launcher hands to the shell, a window that
// takes the activation away, and a count of the keys a window receives.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gui_support.h"

namespace qvkeys {

// Where the shipped catalogue rows look for their programs (the 64-bit
// program folder of the test prefix).
inline constexpr wchar_t kConnectionManager[] = L"C:\\Program Files\\Velmora\\ConnectionManager\\ConnectionManager.exe";  // row 0.0
inline constexpr wchar_t kVpnConnect[] = L"C:\\Program Files\\Velmora\\VpnConnect\\VpnConnect.exe";  // row 0.3
inline constexpr wchar_t kNetworkApplet[] = L"C:\\windows\\system32\\ncpa.cpl";  // row 0.4, a bare name
inline constexpr wchar_t kFingerprintVault[] = L"C:\\Program Files\\Velmora\\FingerprintVault\\FingerprintVault.exe";  // rows 1.0 (/s), 1.3 (/u)
inline constexpr wchar_t kPowerOptimizer[] = L"C:\\Program Files\\Velmora\\PowerOptimizer\\PowerOptimizer.exe";  // row 3.2

inline constexpr wchar_t kSupportKey[] = L"Software\\Velmora\\Kivano\\SS";
inline constexpr wchar_t kHelpKey[] = L"Software\\Velmora\\Kivano\\Help";
inline constexpr wchar_t kUserGuide[] = L"C:\\Docs\\UserGuide.pdf";

// Everything a test puts on the machine; taken away again in reverse order
// when the object goes, so that shared parent folders are removed last.
class TestMachine {
public:
    TestMachine() = default;
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    // recorder.exe at `path`.
    bool Program(const std::wstring& path);
    // recorder.cpl at `path`.
    bool Applet(const std::wstring& path);
    // A small file with some text at `path` (documents).
    bool Document(const std::wstring& path);
    // HKLM\<key> value "URL" in the 64-bit view; `remove` deletes it instead.
    bool Url(const std::wstring& key, const std::wstring& value, bool remove = false);
    bool Associate(const std::wstring& extension, const std::wstring& progId, const std::wstring& program);
    bool AssociateScheme(const std::wstring& scheme, const std::wstring& program);

private:
    struct Item {
        virtual ~Item() = default;
    };
    template <typename T>
    struct Holder : Item {
        template <typename... A>
        explicit Holder(A&&... a) : value(std::forward<A>(a)...) {}
        T value;
    };
    std::vector<std::unique_ptr<Item>> items_;
};

// What the launcher handed to ShellExecuteW, seen by replacing the import
// slot its calls go through in this test program (the launcher's code is
// linked into it).
// The call still goes on to the shell.
struct ShellCall {
    std::wstring file;
    bool hasParameters = false;
    std::wstring parameters;
    bool hasDirectory = false;
    std::wstring directory;
};

class ShellExecuteSpy {
public:
    ShellExecuteSpy();
    ~ShellExecuteSpy();
    ShellExecuteSpy(const ShellExecuteSpy&) = delete;
    ShellExecuteSpy& operator=(const ShellExecuteSpy&) = delete;

    bool ok() const { return slot_ != nullptr; }
    std::vector<ShellCall> Calls() const;

private:
    void** slot_ = nullptr;
};

// A plain top-level window of this process, on a thread of its own, for
// taking the activation away from the launcher's window.
class OtherWindow {
public:
    explicit OtherWindow(RECT where);
    ~OtherWindow();
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    std::thread thread_;
    HANDLE ready_ = nullptr;
    HWND hwnd_ = nullptr;
};

// Counts the arrow-key WM_KEYDOWN messages that reach the windows it is
// installed on. Install and Remove run on the windows' own thread.
class ArrowKeyCounter {
public:
    static bool Install(HWND hwnd);
    static void Remove(HWND hwnd);
    static long Count(HWND hwnd);
};

// Polls until the focus of `dialog`'s thread is on control `id`.
bool WaitForFocus(HWND dialog, int id, DWORD timeoutMs = qvtest::kDeadlineMs);

// A key press to the foreground window, then a wait until `dialog` has handled it.
void Press(HWND dialog, WORD key, unsigned modifiers = qvtest::kNoModifier);

}  // namespace qvkeys
