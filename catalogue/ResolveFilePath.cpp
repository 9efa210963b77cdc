#include "catalogue/ResolveFilePath.h"

#include "catalogue/FileExists.h"
#include "catalogue/ProbeObserver.h"
#include "catalogue/RegistryReader.h"
#include "framework/afxres.h"
#include "res/resource.h"

namespace {

// Paths hold at most 259 characters plus the terminator.
constexpr DWORD kPathChars = MAX_PATH;

const wchar_t kAppPaths32Key[] = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Expands environment variables. A text whose expansion does not fit in a
// path buffer is refused rather than used truncated.
BOOL Expand(const CString& text, CString& expanded)
{
    wchar_t buffer[kPathChars] = {};
    const DWORD needed = ExpandEnvironmentStringsW(text, buffer, kPathChars);
    if (needed == 0 || needed > kPathChars)
        return FALSE;
    buffer[kPathChars - 1] = L'\0';
    expanded = buffer;
    return TRUE;
}

// The system or Windows directory; empty if it cannot be read.
CString ReadFolder(UINT(WINAPI* get)(LPWSTR, UINT))
{
    wchar_t buffer[kPathChars] = {};
    const UINT length = get(buffer, kPathChars);
    return length > 0 && length < kPathChars ? CString(buffer, static_cast<int>(length)) : CString();
}

// Puts " (x86)" behind the first "Program Files".
void InsertX86(CString& path)
{
    const int at = path.Find(L"Program Files");
    if (at >= 0)
        path.Insert(at + 13, L" (x86)");
}

// A registry value naming a file: quotes dropped, variables expanded.
BOOL ValueToPath(CString value, CString& path)
{
    value.Remove(L'"');
    return Expand(value, path);
}

// Tests candidates one after another and keeps the first that exists.
class CandidateTest {
public:
    BOOL operator()(ProbeStage stage, const CString& candidate)
    {
        const bool exists = candidate.GetLength() < static_cast<int>(kPathChars) && FileExists(candidate);
        if (ProbeObserver)
            ProbeObserver->OnCandidate(stage, candidate, exists);
        if (exists)
            m_strFound = candidate;
        return exists ? TRUE : FALSE;
    }
    const CString& Found() const { return m_strFound; }

private:
    CString m_strFound;
};

BOOL ResolveFullPath(const CString& name, CandidateTest& test)
{
    if (test(ProbeStage::FullPath, name))
        return TRUE;
    if (name.Find(L"Program Files") < 0)
        return FALSE;
    CString x86 = name;
    InsertX86(x86);
    return test(ProbeStage::FullPathX86, x86);
}

// Stage 1: the App Paths value of the 64-bit view; only when that is missing,
// the value of the 32-bit view; only when both are missing, the name itself.
BOOL SearchAppPaths(const CString& name, CandidateTest& test)
{
    CString value;
    CString candidate;
    if (ReadRegString(HKEY_LOCAL_MACHINE, CString(AfxLoadStringText(IDS_APP_PATHS_KEY)) + L"\\" + name, L"", value))
        return ValueToPath(value, candidate) && test(ProbeStage::AppPaths64, candidate);
    if (ReadRegString(HKEY_LOCAL_MACHINE, CString(kAppPaths32Key) + L"\\" + name, L"", value)) {
        if (!ValueToPath(value, candidate))
            return FALSE;
        if (candidate.Find(L"Program Files (x86)") < 0)
            InsertX86(candidate);
        return test(ProbeStage::AppPaths32, candidate);
    }
    return test(ProbeStage::CurrentDirectory, name);
}

// Stage 2: the Control Panel list, by the name without ".cpl"/".CPL".
BOOL SearchControlPanelList(const CString& name, bool firstStage, CandidateTest& test)
{
    CString valueName = name;
    valueName.Replace(L".cpl", L"");
    valueName.Replace(L".CPL", L"");
    CString value;
    CString candidate;
    if (ReadRegString(HKEY_LOCAL_MACHINE, CString(AfxLoadStringText(IDS_CPLS_KEY)), valueName, value))
        return ValueToPath(value, candidate) && test(ProbeStage::ControlPanelList, candidate);
    return firstStage && test(ProbeStage::CurrentDirectory, name);
}

BOOL SearchFolders(const CString& name, const CString& directory, CandidateTest& test)
{
    const CString systemDirectory = ReadFolder(GetSystemDirectoryW);
    const CString windowsDirectory = ReadFolder(GetWindowsDirectoryW);

    if (test(ProbeStage::GivenDirectory, directory.IsEmpty() ? name : directory + L"\\" + name))
        return TRUE;
    if (!systemDirectory.IsEmpty()) {
        CString candidate = systemDirectory + L"\\" + name;
        if (test(ProbeStage::SystemDirectory, candidate))
            return TRUE;
        candidate.Replace(L"system32", L"SysWOW64");
        if (test(ProbeStage::SysWow64, candidate))
            return TRUE;
    }
    return !windowsDirectory.IsEmpty() && test(ProbeStage::WindowsDirectory, windowsDirectory + L"\\" + name);
}

// A bare name: the stages from the one its extension picks, in order, up to
// the Windows directory. Every stage starts again from the expanded name.
BOOL ResolveBareName(const CString& name, const CString& directory, CandidateTest& test)
{
    int stage = 3;
    if (name.Find(L".exe") >= 0 || name.Find(L".EXE") >= 0)
        stage = 1;
    else if (name.Find(L".cpl") >= 0 || name.Find(L".CPL") >= 0)
        stage = 2;

    if (stage == 1 && SearchAppPaths(name, test))
        return TRUE;
    if (stage <= 2 && SearchControlPanelList(name, stage == 2, test))
        return TRUE;
    return SearchFolders(name, directory, test);
}

}  // namespace

BOOL ResolveFilePath(CString& path, const CString& directory)
{
    CString name;
    if (!Expand(path, name))
        return FALSE;

    CandidateTest test;
    const BOOL found = !name.IsEmpty() && name.Find(L'\\') >= 0 ? ResolveFullPath(name, test)
                                                                 : ResolveBareName(name, directory, test);
    if (found)
        path = test.Found();
    return found;
}
