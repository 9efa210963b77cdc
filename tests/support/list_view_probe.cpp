#include "tests/support/list_view_probe.h"

#include "tests/support/window_probe.h"

namespace qvtest {

namespace {
constexpr SIZE_T kBufferSize = 4096;
constexpr SIZE_T kTextOffset = 1024;  // the item text follows the LVITEMW
constexpr int kTextChars = static_cast<int>((kBufferSize - kTextOffset) / sizeof(wchar_t));
}  // namespace

ListViewProbe::ListViewProbe(HWND list) : list_(list)
{
    DWORD pid = 0;
    if (!list || !GetWindowThreadProcessId(list, &pid))
        return;
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (!process_)
        return;
    buffer_ = VirtualAllocEx(process_, nullptr, kBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

ListViewProbe::~ListViewProbe()
{
    if (buffer_)
        VirtualFreeEx(process_, buffer_, 0, MEM_RELEASE);
    if (process_)
        CloseHandle(process_);
}

bool ListViewProbe::Write(const void* data, SIZE_T size, SIZE_T offset) const
{
    SIZE_T done = 0;
    return buffer_ && WriteProcessMemory(process_, static_cast<BYTE*>(buffer_) + offset, data, size, &done) &&
           done == size;
}

bool ListViewProbe::Read(void* data, SIZE_T size, SIZE_T offset) const
{
    SIZE_T done = 0;
    return buffer_ && ReadProcessMemory(process_, static_cast<BYTE*>(buffer_) + offset, data, size, &done) &&
           done == size;
}

bool ListViewProbe::Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(list_, msg, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &value))
        return false;
    *result = static_cast<LRESULT>(value);
    return true;
}

int ListViewProbe::Count() const
{
    LRESULT count = -1;
    return Send(LVM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

std::wstring ListViewProbe::ItemText(int item, int subItem) const
{
    LVITEMW lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = reinterpret_cast<LPWSTR>(static_cast<BYTE*>(buffer_) + kTextOffset);
    lvi.cchTextMax = kTextChars;
    const wchar_t empty = L'\0';
    LRESULT length = 0;
    if (!Write(&lvi, sizeof(lvi)) || !Write(&empty, sizeof(empty), kTextOffset) ||
        !Send(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(buffer_), &length) || length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length < kTextChars ? length : kTextChars - 1), L'\0');
    if (!text.empty() && !Read(text.data(), text.size() * sizeof(wchar_t), kTextOffset))
        return {};
    return text;
}

UINT ListViewProbe::ItemState(int item, UINT mask) const
{
    LRESULT state = 0;
    return Send(LVM_GETITEMSTATE, item, mask, &state) ? static_cast<UINT>(state) : 0;
}

int ListViewProbe::SelectedItem() const
{
    LRESULT index = -1;
    return Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, &index) ? static_cast<int>(index) : -1;
}

int ListViewProbe::FocusedItem() const
{
    LRESULT index = -1;
    return Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED, &index) ? static_cast<int>(index) : -1;
}

RECT ListViewProbe::ItemRectOnScreen(int item, int portion) const
{
    RECT rect{};
    rect.left = portion;
    LRESULT ok = 0;
    if (!Write(&rect, sizeof(rect)) || !Send(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(buffer_), &ok) || !ok ||
        !Read(&rect, sizeof(rect)))
        return RECT{};
    MapWindowPoints(list_, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace qvtest
