// A small stand-in window for the support library's own tests: a list view
// with icons that selects on hover, a button, and statics that report what
// happened, so that another process can check its input reached the window.
//   301 list view (4 items, sub-item 1 = lower-case name), 302 button "Press",
//   303 status ("selected <item>", "activated <item>"), 304 "clicks: <n>",
//   305 "dpi=<LOGPIXELSX>", 306 "list click <index>" (NM_CLICK). A block of kMarkColor is painted at kMarkRect.
// Ends with exit code 5 on WM_CLOSE (Alt+F4) and 2 on Escape.
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace {

constexpr int kListId = 301, kButtonId = 302, kStatusId = 303, kClicksId = 304, kDpiId = 305, kListClickId = 306;
constexpr COLORREF kMarkColor = RGB(0x20, 0xA0, 0x60);
constexpr RECT kMarkRect = {10, 250, 110, 330};
const wchar_t* const kNames[] = {L"Alpha", L"Beta", L"Gamma", L"Delta"};

HIMAGELIST g_images = nullptr;
HBRUSH g_markBrush = nullptr;
int g_clicks = 0;
int g_exitCode = 0;

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h)
{
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void FillList(HWND list)
{
    g_images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 0);
    const LPCWSTR icons[] = {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION};
    for (LPCWSTR icon : icons)
        ImageList_AddIcon(g_images, LoadIconW(nullptr, icon));
    ListView_SetImageList(list, g_images, LVSIL_NORMAL);
    ListView_SetExtendedListViewStyle(list, LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE);
    ListView_SetHoverTime(list, 1);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    ListView_InsertColumn(list, 0, &column);
    ListView_InsertColumn(list, 1, &column);
    for (int i = 0; i < 4; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        item.pszText = const_cast<LPWSTR>(kNames[i]);
        ListView_InsertItem(list, &item);
        std::wstring lower = kNames[i];
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(towlower(c));
        ListView_SetItemText(list, i, 1, lower.data());
    }
}

void Report(HWND window, const std::wstring& text) { SetDlgItemTextW(window, kStatusId, text.c_str()); }

LRESULT OnNotify(HWND window, const NMHDR* header)
{
    if (header->idFrom != kListId)
        return 0;
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0 && change->iItem < 4)
            Report(window, std::wstring(L"selected ") + kNames[change->iItem]);
    } else if (header->code == LVN_ITEMACTIVATE) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
        if (activate->iItem >= 0 && activate->iItem < 4)
            Report(window, std::wstring(L"activated ") + kNames[activate->iItem]);
    } else if (header->code == NM_CLICK) {
        const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
        SetDlgItemTextW(window, kListClickId, (L"list click " + std::to_wstring(click->iItem)).c_str());
    }
    return 0;
}

void OnCreate(HWND window)
{
    HWND list = Child(window, WC_LISTVIEWW, L"",
                      WS_BORDER | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kListId, 10, 10, 440,
                      180);
    FillList(list);
    Child(window, L"BUTTON", L"Press", WS_TABSTOP | BS_PUSHBUTTON, kButtonId, 10, 200, 100, 30);
    Child(window, L"STATIC", L"ready", SS_LEFT, kStatusId, 130, 200, 320, 20);
    Child(window, L"STATIC", L"clicks: 0", SS_LEFT, kClicksId, 130, 250, 200, 20);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    Child(window, L"STATIC", (L"dpi=" + std::to_wstring(dpi)).c_str(), SS_LEFT, kDpiId, 130, 280, 200, 20);
    Child(window, L"STATIC", L"", SS_LEFT, kListClickId, 130, 310, 200, 20);
    SetFocus(list);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &kMarkRect, g_markBrush);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_NOTIFY:
        return OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
            SetDlgItemTextW(window, kClicksId, (L"clicks: " + std::to_wstring(++g_clicks)).c_str());
        } else if (LOWORD(wParam) == IDCANCEL) {
            g_exitCode = 2;
            DestroyWindow(window);
        }
        return 0;
    case WM_CLOSE:
        g_exitCode = 5;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(g_exitCode);
        return 0;
    default:
        return DefWindowProcW(window, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    g_markBrush = CreateSolidBrush(kMarkColor);

    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    cls.lpszClassName = L"QvFixtureWindow";
    RegisterClassExW(&cls);

    RECT frame = {0, 0, 460, 340};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"Fixture", style, 100, 100, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);

    MSG msg;
    int result = 0;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (g_images)
        ImageList_Destroy(g_images);
    DeleteObject(g_markBrush);
    return result == 0 ? static_cast<int>(msg.wParam) : 1;
}
