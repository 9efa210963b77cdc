#include "tests/shell/shell_machine.h"

namespace qvshelltest {

using namespace qvtest;

std::wstring Expand(const std::wstring& path)
{
    wchar_t out[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(path.c_str(), out, MAX_PATH * 2);
    return length > 0 && length <= MAX_PATH * 2 ? std::wstring(out) : path;
}

InstalledStandIns::InstalledStandIns(const std::vector<std::wstring>& catalogueProgramPaths)
{
    const std::wstring recorder = RecorderExePath();
    ok_ = !recorder.empty();
    for (const std::wstring& path : catalogueProgramPaths) {
        copies_.push_back(std::make_unique<FileCopyGuard>(recorder, Expand(path)));
        ok_ = ok_ && copies_.back()->ok() && FileExists(copies_.back()->path());
    }
}

InstalledStandIns::~InstalledStandIns()
{
    while (!copies_.empty())
        copies_.pop_back();
}

namespace {

constexpr wchar_t kDecoyClass[] = L"QvShellDecoy";

LRESULT CALLBACK DecoyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct EnumData {
    DWORD pid;
    const std::wstring* className;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    auto* data = reinterpret_cast<EnumData*>(param);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    if (data->pid != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != data->pid)
            return TRUE;
    }
    if (data->className != nullptr && WindowClass(hwnd) != *data->className)
        return TRUE;
    data->out->push_back(hwnd);
    return TRUE;
}

}  // namespace

DecoyWindow::DecoyWindow()
{
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, kDeadlineMs);
}

DecoyWindow::~DecoyWindow()
{
    if (threadId_ != 0)
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable())
        thread_.join();
    CloseHandle(ready_);
}

void DecoyWindow::Run()
{
    threadId_ = GetCurrentThreadId();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DecoyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kDecoyClass;
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, kDecoyClass, L"Shell test decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 20, 200, 120,
                            nullptr, nullptr, wc.hInstance, nullptr);
    // The queue exists before the test may post the quit message.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(ready_);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (hwnd_)
        DestroyWindow(hwnd_);
    UnregisterClassW(kDecoyClass, wc.hInstance);
}

std::vector<HWND> VisibleTopLevelWindowsOf(DWORD pid)
{
    std::vector<HWND> out;
    EnumData data{pid, nullptr, &out};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&data));
    return out;
}

std::vector<HWND> VisibleTopLevelWindowsOfClass(const std::wstring& className)
{
    std::vector<HWND> out;
    EnumData data{0, &className, &out};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&data));
    return out;
}

}  // namespace qvshelltest
