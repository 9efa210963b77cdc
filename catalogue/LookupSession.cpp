#include "catalogue/LookupSession.h"

#include "catalogue/FileExists.h"
#include "framework/afxres.h"
#include "res/resource.h"

namespace {

thread_local CLookupSession* t_session = nullptr;

CString ReadFolder(UINT(WINAPI* get)(LPWSTR, UINT))
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = get(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CString(buffer, static_cast<int>(length)) : CString();
}

}  // namespace

CString AppPaths64Key()
{
    return CString(AfxLoadStringText(IDS_APP_PATHS_KEY));
}

CString AppPaths32Key()
{
    return L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths";
}

CString ControlPanelListKey()
{
    return CString(AfxLoadStringText(IDS_CPLS_KEY));
}

CString ReadSystemDirectory()
{
    return ReadFolder(GetSystemDirectoryW);
}

CString ReadWindowsDirectory()
{
    return ReadFolder(GetWindowsDirectoryW);
}

CLookupSession::CLookupSession()
    : m_pOuter(t_session),
      m_appPaths64(AppPaths64Key()),
      m_appPaths32(AppPaths32Key()),
      m_controlPanelList(ControlPanelListKey())
{
    t_session = this;
}

CLookupSession::~CLookupSession()
{
    t_session = m_pOuter;
}

CLookupSession* CLookupSession::Current()
{
    return t_session;
}

const CString& CLookupSession::SystemDirectory()
{
    if (!m_bFoldersRead) {
        m_bFoldersRead = true;
        m_strSystemDirectory = ReadSystemDirectory();
        m_strWindowsDirectory = ReadWindowsDirectory();
    }
    return m_strSystemDirectory;
}

const CString& CLookupSession::WindowsDirectory()
{
    SystemDirectory();
    return m_strWindowsDirectory;
}

CLookupSession::Folder* CLookupSession::FolderOf(const CString& path, CString& name)
{
    const int slash = path.ReverseFind(L'\\');
    if (slash <= 0)
        return nullptr;
    name = path.Mid(slash + 1);
    const std::wstring folder = path.Left(slash).Str();
    for (Folder& known : m_folders) {
        if (known.path == folder)
            return &known;
    }
    m_folders.push_back(Folder());
    m_folders.back().path = folder;
    return &m_folders.back();
}

bool CLookupSession::Exists(const CString& path)
{
    CString name;
    Folder* folder = FolderOf(path, name);
    if (folder != nullptr && folder->misses >= kMissesBeforeListing) {
        if (!folder->tried) {
            folder->tried = true;
            auto listing = std::make_unique<CFolderListing>();
            if (listing->Read(CString(folder->path.c_str())))
                folder->listing = std::move(listing);
        }
        if (folder->listing && folder->listing->ProvesAbsent(name))
            return false;
    }
    const bool exists = FileExists(path) != FALSE;
    if (!exists && folder != nullptr)
        ++folder->misses;
    return exists;
}
