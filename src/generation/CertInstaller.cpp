#include "CertInstaller.h"

#include "Launch.h"
#include "Locator.h"
#include "framework/Strings.h"
#include "framework/UniqueHandle.h"
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
    char buffer[kPathBufferSize] = {};
    DWORD size = kPathBufferSize;
    // The value's type is not checked: whatever bytes it holds are the folder's text.
    if (::RegQueryValueExA(key.Get(), kDesktopValue, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        return;
    }
    // Registry strings need not be zero-terminated: stop at the buffer's end.
    const char* end = std::find(buffer, buffer + kPathBufferSize, '\0');
    m_desktopPath.assign(buffer, static_cast<std::size_t>(end - buffer));
    if (!m_desktopPath.empty() && m_desktopPath.back() != '\\') {
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
        parameters += " \"" + path + '"';
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
