// The floor of the start-up benchmark: the least a dialog with one list view
// costs to start under the same toolchain and platform. Its window class is
// a copy of the system dialog class, registered as the launcher does.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK FloorProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        EndDialog(hWnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(hWnd, LOWORD(wParam));
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
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc = {};
    GetClassInfoW(nullptr, L"#32770", &wc);
    wc.lpszClassName = L"QvBenchFloorClass";
    RegisterClassW(&wc);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, FloorProc, 0);
    return 0;
}
