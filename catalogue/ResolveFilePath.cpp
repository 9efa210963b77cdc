#include "catalogue/ResolveFilePath.h"

#include "catalogue/FileExists.h"
#include "catalogue/LookupSession.h"
#include "catalogue/ProbeObserver.h"
#include "catalogue/RegistryReader.h"

namespace {

// Paths hold at most 259 characters plus the terminator.
constexpr DWORD kPathChars = MAX_PATH;

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

// Tests candidates one after another and keeps the first that exists. A
// candidate tested again right after (a bare name in the current directory in
// stage 1 or 2 and again in stage 3) gets the answer just given.
class CandidateTest {
public:
    BOOL operator()(ProbeStage stage, const CString& candidate)
    {
        bool exists = false;
        if (m_bTested && candidate == m_strLast) {
            exists = m_bLastExists;
        } else if (candidate.GetLength() < static_cast<int>(kPathChars)) {
            CLookupSession* session = CLookupSession::Current();
            exists = session != nullptr ? session->Exists(candidate) : FileExists(candidate) != FALSE;
        }
        m_bTested = true;
        m_strLast = candidate;
        m_bLastExists = exists;
        if (ProbeObserver)
            ProbeObserver->OnCandidate(stage, candidate, exists);
        if (exists)
            m_strFound = candidate;
        return exists ? TRUE : FALSE;
    }
    const CString& Found() const { return m_strFound; }

private:
    CString m_strFound;
    CString m_strLast;
    bool m_bLastExists = false;
    bool m_bTested = false;
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

// Reads value `valueName` of `subkey` (empty: the key itself) below the key
// `keyPath` names, through the session's key when one is kept.
BOOL ReadBelow(CRegistryKey* kept, CString (*keyPath)(), const CString& subkey, const CString& valueName,
               CString& value)
{
    if (kept != nullptr)
        return ReadRegString(*kept, subkey, valueName, value);
    const CString key = keyPath();
    return ReadRegString(HKEY_LOCAL_MACHINE, subkey.IsEmpty() ? key : key + L"\\" + subkey, valueName, value);
}

// Stage 1: the App Paths value of the 64-bit view; only when that is missing,
// the value of the 32-bit view; only when both are missing, the name itself.
BOOL SearchAppPaths(const CString& name, CLookupSession* session, CandidateTest& test)
{
    CString value;
    CString candidate;
    if (ReadBelow(session ? &session->AppPaths64() : nullptr, AppPaths64Key, name, L"", value))
        return ValueToPath(value, candidate) && test(ProbeStage::AppPaths64, candidate);
    if (ReadBelow(session ? &session->AppPaths32() : nullptr, AppPaths32Key, name, L"", value)) {
        if (!ValueToPath(value, candidate))
            return FALSE;
        if (candidate.Find(L"Program Files (x86)") < 0)
            InsertX86(candidate);
        return test(ProbeStage::AppPaths32, candidate);
    }
    return test(ProbeStage::CurrentDirectory, name);
}

// Stage 2: the Control Panel list, by the name without ".cpl"/".CPL".
BOOL SearchControlPanelList(const CString& name, bool firstStage, CLookupSession* session, CandidateTest& test)
{
    CString valueName = name;
    valueName.Replace(L".cpl", L"");
    valueName.Replace(L".CPL", L"");
    CString value;
    CString candidate;
    if (ReadBelow(session ? &session->ControlPanelList() : nullptr, ControlPanelListKey, CString(), valueName,
                  value))
        return ValueToPath(value, candidate) && test(ProbeStage::ControlPanelList, candidate);
    return firstStage && test(ProbeStage::CurrentDirectory, name);
}

BOOL SearchFolders(const CString& name, const CString& directory, CLookupSession* session, CandidateTest& test)
{
    const CString systemDirectory = session ? session->SystemDirectory() : ReadSystemDirectory();
    const CString windowsDirectory = session ? session->WindowsDirectory() : ReadWindowsDirectory();

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

    CLookupSession* session = CLookupSession::Current();
    if (stage == 1 && SearchAppPaths(name, session, test))
        return TRUE;
    if (stage <= 2 && SearchControlPanelList(name, stage == 2, session, test))
        return TRUE;
    return SearchFolders(name, directory, session, test);
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
