// quorvane-check: shows how a launcher's catalogue is found on this machine,
// or whether every text of every language fits the launcher's window.
//
//   quorvane-check.exe [--json] [path\to\Quorvane.exe]
//   quorvane-check.exe --languages [--json] [path\to\Quorvane.exe]
//
// Exit status: 0 when every catalogue row with a program is shown (every text
// fits), 1 when some are not (some do not, or cannot be measured here), 2 when
// the command line or the launcher file is not usable.
#include "framework/afxres.h"
#include "checktool/CatalogueCheck.h"
#include "checktool/CheckReport.h"
#include "checktool/LanguageCheck.h"
#include "checktool/LanguageReport.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const wchar_t kUsage[] =
    L"Usage: quorvane-check.exe [--json] [LAUNCHER]\n"
    L"       quorvane-check.exe --languages [--json] [LAUNCHER]\n"
    L"\n"
    L"Checks the catalogue of a Quorvane launcher against this machine, with the\n"
    L"launcher's own catalogue code, and prints for every category and catalogue row:\n"
    L"  - the row's strings (name, description, program, arguments, icon file, icon index),\n"
    L"  - every candidate path tested and registry value read while looking for the\n"
    L"    program and its icon file, in order, with the stage, registry view and result,\n"
    L"  - the outcome: kept as item n of its category, or skipped and why,\n"
    L"  - the footer texts and the Web site and Help addresses with where they were read.\n"
    L"\n"
    L"  LAUNCHER  the launcher to check (default: Quorvane.exe beside this program).\n"
    L"            As the launcher does, the check runs in the launcher's folder.\n"
    L"  --json    write the report as JSON instead of plain text.\n"
    L"  --languages  instead, for every language of the launcher's string tables:\n"
    L"            its translation status, the faces its texts were measured with, and\n"
    L"            every shown text that does not fit where the window shows it at 96,\n"
    L"            120 or 144 DPI with room to spare (every box measured narrower by the\n"
    L"            wider of 4 px and 5 %), and by how many pixels; that wraps badly (a\n"
    L"            word cut across lines; in CJK text a last line of a single character\n"
    L"            or a line that starts with closing punctuation, a small kana or the\n"
    L"            like); or that cannot be measured here, drawn with boxes or with a\n"
    L"            face the system chose, and the face it needs.\n"
    L"  --help    show this text.\n"
    L"\n"
    L"Nothing is written to the registry or the disk.\n"
    L"Exit status: 0 every row with a program is kept and shown (--languages: every\n"
    L"text fits); 1 some are not (some do not or cannot be measured, or a translation\n"
    L"status is unreadable); 2 the command line or the launcher file cannot be used.\n";

// Console output as wide text; redirected output as UTF-8.
void Write(HANDLE stream, const std::wstring& text)
{
    if (!stream || stream == INVALID_HANDLE_VALUE || text.empty())
        return;
    DWORD mode = 0;
    if (GetConsoleMode(stream, &mode)) {
        DWORD written = 0;
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    size_t done = 0;
    while (done < utf8.size()) {
        DWORD written = 0;
        if (!WriteFile(stream, utf8.data() + done, static_cast<DWORD>(utf8.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

void Out(const std::wstring& text)
{
    Write(GetStdHandle(STD_OUTPUT_HANDLE), text);
}

void Err(const std::wstring& text)
{
    Write(GetStdHandle(STD_ERROR_HANDLE), text);
}

std::wstring ModulePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : path;
}

std::wstring CurrentDirectory()
{
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

// The launcher's resources, mapped as data: none of its code runs.
class LauncherModule {
public:
    explicit LauncherModule(const std::wstring& path)
        : m_hModule(LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~LauncherModule()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    LauncherModule(const LauncherModule&) = delete;
    LauncherModule& operator=(const LauncherModule&) = delete;
    HMODULE Handle() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

int CheckLanguagesOf(HMODULE module, const std::wstring& launcher, bool json)
{
    LanguagesCheck check;
    check.executable = launcher;
    std::wstring error;
    if (!CheckLanguages(module, check, error)) {
        Err(L"quorvane-check: " + launcher + L" " + error + L"\n");
        return 2;
    }
    Out(json ? FormatLanguagesJson(check) : FormatLanguagesText(check));
    return check.Passes() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    bool json = false;
    bool languages = false;
    std::wstring launcher;
    for (int n = 1; n < argc; ++n) {
        const std::wstring argument = argv[n];
        if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            Out(kUsage);
            return 0;
        }
        if (argument == L"--json") {
            json = true;
        } else if (argument == L"--languages") {
            languages = true;
        } else if (argument.size() > 1 && argument[0] == L'-' && argument[1] == L'-') {
            Err(L"quorvane-check: unknown option " + argument + L"\n\n" + kUsage);
            return 2;
        } else if (launcher.empty()) {
            launcher = argument;
        } else {
            Err(L"quorvane-check: only one launcher can be checked at a time\n\n" + std::wstring(kUsage));
            return 2;
        }
    }

    if (launcher.empty()) {
        const std::wstring self = ModulePath();
        const size_t slash = self.rfind(L'\\');
        launcher = (slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1)) + L"Quorvane.exe";
    }
    launcher = FullPath(launcher);

    const DWORD attributes = GetFileAttributesW(launcher.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Err(L"quorvane-check: " + launcher + L" is not a file\n");
        return 2;
    }
    const LauncherModule module(launcher);
    if (!module.Handle()) {
        Err(L"quorvane-check: " + launcher + L" cannot be read as a program's resources (error " +
            std::to_wstring(GetLastError()) + L")\n");
        return 2;
    }

    if (languages)
        return CheckLanguagesOf(module.Handle(), launcher, json);

    // The launcher looks up bare names in its own folder: work there too.
    const size_t slash = launcher.rfind(L'\\');
    SetCurrentDirectoryW(slash == std::wstring::npos ? launcher.c_str() : launcher.substr(0, slash).c_str());
    AfxSetResourceHandle(module.Handle());

    CatalogueCheck check = CheckCatalogue();
    check.executable = launcher;
    check.currentDirectory = CurrentDirectory();
    AfxSetResourceHandle(nullptr);

    Out(json ? FormatJson(check) : FormatText(check));
    if (!check.matchesLoader)
        Err(L"quorvane-check: " + check.mismatch + L"\n");
    return check.AllProgramsKept() && check.matchesLoader ? 0 : 1;
}
