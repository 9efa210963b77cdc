// The second floor of the start-up benchmark: the launcher's own window doing
// nothing else. Its dialog is the launcher's template, with every control;
// the controls are moved to the places the launcher's layout gives them, the
// list gets two image lists of four stock icons and four items, and the
// eight buttons are drawn as filled boxes with a caption. No catalogue, no
// registry, no artwork, no fonts of its own, no composition: what the window
// itself costs to start under the same toolchain and platform.
//
// It notes its own start-up marks at the places that bound the launcher's
// phases, for the driver to set the two breakdowns side by side: noting one
// reads the performance counter, and the marks are written only as it ends.
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"
#include "startup_marks.h"
#include "ui/LayoutMetrics.h"

namespace {

enum FloorMark {
    FloorStarts,          // the program's entry point
    FloorDialogCreated,   // WM_INITDIALOG arrives
    FloorResized,         // the client area has the layout's size
    FloorControlsPlaced,  // every control is in its place
    FloorListBuilt,       // image lists and items are in the list
    FloorInitDone,        // WM_INITDIALOG returns
    FloorFirstPaint,      // the shown window's own first paint (its erase)
};

CStartupMarks g_marks;

HIMAGELIST g_large = nullptr;
HIMAGELIST g_small = nullptr;

void Place(HWND dialog, int id, int x, int y, int w, int h)
{
    MoveWindow(GetDlgItem(dialog, id), x, y, w, h, TRUE);
}

void SetUp(HWND dialog)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    SetWindowPos(dialog, HWND_TOP, 0, 0, (window.right - window.left) - client.right + m.ClientWidth,
                 (window.bottom - window.top) - client.bottom + m.ClientHeight, SWP_NOMOVE);
    g_marks.Note(FloorResized);

    Place(dialog, IDC_DESCRIPTION, m.DescriptionTextLeft, m.DescriptionTextTop, m.DescriptionTextWidth,
          m.DescriptionTextHeight);
    Place(dialog, IDC_ITEM_LIST, m.ListLeft, m.ColumnTop, m.ListWidth, m.ListHeight);
    int y = m.ColumnTop;
    for (int k = 0; k < 4; ++k) {
        Place(dialog, IDC_CATEGORY0 + k, m.CategoryButtonLeft, y, m.CategoryButtonWidth, m.CategoryButtonHeight);
        y += m.CategoryButtonGap + m.CategoryButtonHeight;
    }
    ShowWindow(GetDlgItem(dialog, IDC_CATEGORY4), SW_HIDE);
    Place(dialog, IDC_SUPPORT_BUTTON, m.SupportButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
    Place(dialog, IDC_HELP_BUTTON, m.HelpButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
    Place(dialog, IDC_CLOSE_BUTTON, m.CloseButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
    g_marks.Note(FloorControlsPlaced);

    const HWND list = GetDlgItem(dialog, IDC_ITEM_LIST);
    g_large = ImageList_Create(m.LargeIconSize, m.LargeIconSize, ILC_COLOR32 | ILC_MASK, 4, 4);
    g_small = ImageList_Create(m.SmallIconSize, m.SmallIconSize, ILC_COLOR32 | ILC_MASK, 4, 4);
    const LPCWSTR stock[4] = {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_SHIELD};
    for (LPCWSTR id : stock) {
        const HICON icon = LoadIconW(nullptr, id);
        ImageList_AddIcon(g_large, icon);
        ImageList_AddIcon(g_small, icon);
    }
    ListView_SetImageList(list, g_large, LVSIL_NORMAL);
    ListView_SetImageList(list, g_small, LVSIL_SMALL);
    ListView_SetIconSpacing(list, m.IconSpacingX, m.IconSpacingY);
    const wchar_t* names[4] = {L"Network Connections", L"Mobile Hotspot", L"Secure VPN", L"Bluetooth Settings"};
    for (int i = 0; i < 4; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(names[i]);
        item.iImage = i;
        ListView_InsertItem(list, &item);
    }
    g_marks.Note(FloorListBuilt);
}

void DrawButton(const DRAWITEMSTRUCT& item)
{
    wchar_t caption[32] = {};
    GetWindowTextW(item.hwndItem, caption, 32);
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, caption, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        g_marks.Note(FloorDialogCreated);
        SetUp(dialog);
        g_marks.Note(FloorInitDone);
        return TRUE;
    case WM_CTLCOLORDLG:  // asked for by the dialog's erase, which is all its own paint draws
        if (IsWindowVisible(dialog))
            g_marks.Note(FloorFirstPaint);
        break;
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    g_marks.Note(FloorStarts);
    SetProcessDPIAware();
    if (HDC screen = GetDC(nullptr)) {
        ScreenDpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    ScaleLayoutMetrics();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc = {};
    GetClassInfoW(nullptr, L"#32770", &wc);
    wc.lpszClassName = L"VelConsoleClass";
    RegisterClassW(&wc);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_KIVANO_DIALOG), nullptr, FloorProc, 0);
    ImageList_Destroy(g_large);
    ImageList_Destroy(g_small);
    g_marks.Write();
    return 0;
}
