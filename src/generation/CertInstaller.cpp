#include "CertInstaller.h"

#include "Launch.h"
#include "Locator.h"
#include "framework/Strings.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"
#include "framework/WideText.h"
#include "resources/resource.h"

#include <algorithm>

namespace {
const char kDesktopKey[] = "Software\\Harvelon\\Orvix Desktop\\Core";
const char kDesktopValue[] = "Path";
const char kConverter[] = "cert2kvf.exe";
const char kDatabase[] = "certs.kvf";
const char kInstallTool[] = "Sendora.exe";
constexpr int kSearchLevels = 2;
constexpr DWORD kPathBufferSize = 260;

// A drive root comes back from the locator as "C:", which as a working folder
// would mean that drive's current folder, not its root.
std::string WorkingFolder(const std::string& folder) {
    return folder.size() == 2 && folder[1] == ':' ? folder + '\\' : folder;
}

bool IsDriveAbsolute(const std::string& path) {
    const char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
}

// "X:\..." or "\\server\share...": a folder that means the same whatever the
// current folder is.
bool IsAbsoluteFolder(const std::string& path) {
    if (IsDriveAbsolute(path)) {
        return true;
    }
    if (path.compare(0, 2, "\\\\") != 0) {
        return false;
    }
    const std::string::size_type server = path.find('\\', 2);
    return server != std::string::npos && server > 2 && server + 1 < path.size() &&
           path[server + 1] != '\\';
}

// How many characters a value takes in the narrow read: the 260-byte buffer
// held 260 of them while the process code page had one byte for each. String
// types are counted as text, the zero the read adds where one is missing
// included; other types byte by byte.
std::size_t ValueCharacters(DWORD type, const char* data, DWORD size) {
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
        return size;
    }
    const std::size_t added = size == 0 || data[size - 1] != '\0' ? 1 : 0;
    return ToWide(std::string(data, size)).size() + added;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
    std::vector<std::wstring> parts(1);
    for (const wchar_t c : path) {
        if (c == L'\\') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The short (8.3) form of an existing path; empty where there is none.
std::wstring ShortPathName(const std::string& path) {
    const std::wstring full = ToLongPathW(path);
    std::wstring shortPath(32768, L'\0');
    const DWORD length =
        ::GetShortPathNameW(full.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) {
        return {};
    }
    shortPath.resize(length);
    if (shortPath.compare(0, 4, L"\\\\?\\") == 0 && full.compare(0, 4, L"\\\\?\\") == 0) {
        shortPath.erase(0, 4);
    }
    return shortPath;
}

// The form of a certificate path that a narrow converter running in the
// system's ANSI code page can open. A path that code page can carry goes as it
// is; in any other, each part it cannot carry takes its short (8.3) form where
// the volume has one. Relative paths are taken from the converter's folder and
// stay relative.
std::string ForNarrowProgram(const std::string& path, const std::string& folder) {
    const unsigned codePage = SystemAnsiCodePage();
    const std::wstring wide = ToWide(path);
    if (FitsCodePage(wide, codePage)) {
        return path;
    }
    const bool relative = !IsDriveAbsolute(path) && path.compare(0, 2, "\\\\") != 0;
    const std::string full = relative ? folder + '\\' + path : path;
    const std::vector<std::wstring> longParts = SplitPath(ToWide(full));
    const std::vector<std::wstring> shortParts = SplitPath(ShortPathName(full));
    const std::size_t kept = SplitPath(wide).size();
    if (shortParts.size() != longParts.size() || kept > longParts.size()) {
        return path;
    }
    std::wstring result;
    for (std::size_t i = relative ? longParts.size() - kept : 0; i < longParts.size(); ++i) {
        if (!result.empty() || (i > 0 && !relative)) {
            result += L'\\';
        }
        result += FitsCodePage(longParts[i], codePage) ? longParts[i] : shortParts[i];
    }
    return FitsCodePage(result, codePage) ? FromWide(result) : path;
}
} // namespace

CCertInstaller::CCertInstaller() {
    ReadDesktopPath();
}

void CCertInstaller::ReadDesktopPath() {
    m_desktopPath.clear();
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return;
    }
    // In UTF-8 a character may take up to three bytes: room for the 260 the
    // buffer holds, however they are written.
    char buffer[kPathBufferSize * 3] = {};
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    // The type only decides how the value is measured: whatever bytes it holds
    // are the folder's text.
    if (::RegQueryValueExA(key.Get(), kDesktopValue, nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        ValueCharacters(type, buffer, size) > kPathBufferSize) {
        return;
    }
    // Registry strings need not be zero-terminated: stop at the value's end.
    const std::string text(buffer, std::find(buffer, buffer + size, '\0'));
    // Anything else would be resolved against the current folder.
    if (!IsAbsoluteFolder(text)) {
        return;
    }
    m_desktopPath = text;
    if (m_desktopPath.back() != '\\') {
        m_desktopPath += '\\';
    }
}

bool CCertInstaller::SetFiles(const std::vector<std::string>& files) {
    m_files = files;
    return true;
}

bool CCertInstaller::GenerateDatabase() {
    std::string folder;
    if (!LocateUpward(kSearchLevels, kConverter, folder)) {
        ShowError(IDS_CONVERTER_MISSING);
    }

    std::string parameters = kDatabase;
    for (const std::string& path : m_files) {
        parameters += " \"" + ForNarrowProgram(path, folder) + '"';
    }

    // Always by full path in the searched folder: the shell's own search (current
    // folder, PATH) must never pick up a program of the same name.
    const LaunchResult launch =
        ShellOpen(folder + '\\' + kConverter, parameters, WorkingFolder(folder),
                  /*wantProcess=*/true);
    if (!launch.started) {
        return false;
    }
    // The install tool must not see a half-written database.
    if (launch.process) {
        const CWaitCursor busy;
        WaitPainting(launch.process.Get(), kConverterWaitMs);
    }
    return true;
}

bool CCertInstaller::Install() {
    std::string folder;
    // A database that is not found still goes to the install tool, which then
    // reports it; the path named is in the last folder searched.
    LocateUpward(kSearchLevels, kDatabase, folder);

    if (m_desktopPath.empty()) {
        ShowError(IDS_DESKTOP_MISSING);
        return false;
    }
    const std::string parameters = '"' + folder + '\\' + kDatabase + '"';
    // Unquoted: given a quoted name, the shell falls back to searching for it.
    const LaunchResult launch = ShellOpen(m_desktopPath + kInstallTool, parameters, std::string(),
                                          /*wantProcess=*/false);
    if (!launch.started) {
        ShowError(IDS_SYNC_TOOL_MISSING);
    }
    return launch.started;
}

void CCertInstaller::ShowError(UINT id) {
    ShowMessageBox(id);
}
