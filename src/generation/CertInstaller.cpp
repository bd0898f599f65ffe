#include "CertInstaller.h"

#include "ConverterPaths.h"
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
    const unsigned codePage = SystemAnsiCodePage();
    for (const std::string& path : m_files) {
        parameters += " \"" + ForNarrowProgram(path, folder, codePage) + '"';
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
