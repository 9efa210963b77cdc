#include "tests/robustness/robustness_machine.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/afxres.h"
#include "tests/support/test_paths.h"

namespace qvrobust {

bool EntryExists(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

RobustMachine::RobustMachine()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"qvrobust" + std::to_wstring(GetCurrentProcessId());
    files.Folder(folder_);
    files.File(folder_ + L"\\tool.exe");
    files.File(folder_ + L"\\applet.cpl");
    files.File(folder_ + L"\\art.ico");
    files.Folder(folder_ + L"\\dir.exe");
    files.Folder(folder_ + L"\\Program Files");
    files.File(folder_ + L"\\Program Files\\in.exe");

    const std::wstring appPaths = kAppPathsKey;
    // An App Paths entry naming the tool, one too long for the reader, one
    // with a variable, one of a number type, one with quotes and switches.
    registry.SetText(appPaths + L"\\qvrobust1.exe", L"", folder_ + L"\\tool.exe");
    registry.SetText(appPaths + L"\\qvrobust2.exe", L"", std::wstring(300, L'x'));
    registry.SetText(appPaths + L"\\qvrobust3.exe", L"", L"%SystemRoot%\\notepad.exe");
    const DWORD number = 0x00780078;
    registry.Set(appPaths + L"\\qvrobust4.exe", L"", REG_DWORD, &number, sizeof number);
    registry.SetText(appPaths + L"\\qvrobust5.exe", L"", L"\"" + folder_ + L"\\tool.exe\" /s");
    const std::wstring multi = folder_ + L"\\tool.exe" + std::wstring(1, L'\0') + L"second" + std::wstring(2, L'\0');
    registry.Set(appPaths + L"\\qvrobust6.exe", L"", REG_MULTI_SZ, multi.data(),
                 static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    registry.Set(appPaths + L"\\qvrobust7.exe", L"", REG_BINARY, "\x41\x00\x42", 3);
    registry.SetText(std::wstring(kCplsKey), L"qvrobustapplet", folder_ + L"\\applet.cpl");

    real_ = {folder_ + L"\\", folder_ + L"\\tool.exe", folder_ + L"\\dir.exe", folder_ + L"\\Program Files\\in.exe",
             folder_ + L"\\applet.cpl", L"notepad.exe", L"%SystemRoot%\\", L"C:\\windows\\system32\\",
             L"qvrobust1.exe", L"qvrobust2.exe", L"qvrobust3.exe", L"qvrobust4.exe", L"qvrobust5.exe",
             L"qvrobust6.exe", L"qvrobust7.exe", L"qvrobustapplet.cpl", L"tool.exe", L"art.ico"};
}

GeneratedStrings::GeneratedStrings(const std::wstring& file, const std::vector<std::pair<UINT, std::wstring>>& strings)
    : file_(file)
{
    const std::wstring base = qvtest::JoinPath(qvtest::TestExeFolder(), L"robust_base_strings.dll");
    if (!CopyFileW(base.c_str(), file_.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy the base string module, error " << GetLastError();
        return;
    }
    // A string table block holds strings 16 * (n - 1) .. 16 * n - 1, each as a
    // length and its code units.
    std::map<UINT, std::vector<std::wstring>> blocks;
    for (const auto& [id, text] : strings) {
        auto& block = blocks[id / 16 + 1];
        block.resize(16);
        block[id % 16] = text;
    }
    HANDLE update = BeginUpdateResourceW(file_.c_str(), FALSE);
    if (!update) {
        ADD_FAILURE() << "BeginUpdateResourceW failed, error " << GetLastError();
        return;
    }
    bool written = true;
    for (const auto& [number, texts] : blocks) {
        std::vector<WORD> data;
        for (const std::wstring& text : texts) {
            data.push_back(static_cast<WORD>(text.size()));
            data.insert(data.end(), text.begin(), text.end());
        }
        written = written && UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(number),
                                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data.data(),
                                             static_cast<DWORD>(data.size() * sizeof(WORD)));
    }
    if (!EndUpdateResourceW(update, written ? FALSE : TRUE) || !written) {
        ADD_FAILURE() << "writing the generated string table failed, error " << GetLastError();
        return;
    }
    module_ = LoadLibraryExW(file_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module_)
        AfxSetResourceHandle(module_);
    else
        ADD_FAILURE() << "cannot load the generated string module, error " << GetLastError();
}

GeneratedStrings::~GeneratedStrings()
{
    AfxSetResourceHandle(nullptr);
    if (module_)
        FreeLibrary(module_);
    DeleteFileW(file_.c_str());
}

}  // namespace qvrobust
