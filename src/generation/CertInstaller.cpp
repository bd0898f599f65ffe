#include "CertInstaller.h"

#include "ConverterPaths.h"
#include "Launch.h"
#include "Locator.h"
#include "framework/FileState.h"
#include "framework/Strings.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"
#include "framework/WideText.h"
#include "resources/resource.h"

#include <algorithm>
#include <utility>

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

ConverterLocation LocateConverter() {
    ConverterLocation converter;
    converter.found = LocateUpward(kSearchLevels, kConverter, converter.folder);
    return converter;
}

std::string ConverterParameters(const std::vector<std::string>& files, const std::string& folder) {
    std::string parameters = kDatabase;
    const unsigned codePage = SystemAnsiCodePage();
    for (const std::string& path : files) {
        parameters += " \"";
        parameters += ForNarrowProgram(path, folder, codePage);
        parameters += '"';
    }
    return parameters;
}

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

bool CCertInstaller::GenerateDatabase(const ConverterLocation& converter) {
    m_database.clear();
    const std::string& folder = converter.folder;
    if (!converter.found) {
        ShowError(IDS_CONVERTER_MISSING);
    }
    // Written in the converter's working folder. Only a change shows that this
    // run wrote it: an older one may lie there already.
    const std::string database = folder + '\\' + kDatabase;
    const FileState before = ReadFileState(database);

    // Always by full path in the searched folder: the shell's own search (current
    // folder, PATH) must never pick up a program of the same name.
    const LaunchResult launch =
        ShellOpen(folder + '\\' + kConverter, ConverterParameters(m_files, folder),
                  WorkingFolder(folder), /*wantProcess=*/true);
    if (!launch.started) {
        // Not located is said already.
        if (converter.found) {
            ShowError(IDS_CONVERTER_FAILED);
        }
        return false;
    }
    // The install tool must not see a half-written database. The converter's
    // exit code means nothing known: the file decides.
    bool ended = false;
    if (launch.process) {
        const CWaitCursor busy;
        ended = WaitPainting(launch.process.Get(), kConverterWaitMs);
        // One that overran is ended: a database it wrote later would pass for
        // the next Generate's own.
        if (!ended) {
            EndProcess(launch.process.Get());
        }
    }
    const FileState after = ReadFileState(database);
    if (!ended || !after.exists || after == before) {
        ShowError(IDS_CONVERTER_FAILED);
        return false;
    }
    m_database = database;
    return true;
}

bool CCertInstaller::Install() {
    // Only once, and only on what this Generate's converter wrote.
    const std::string database = std::exchange(m_database, std::string());
    if (database.empty()) {
        return false;
    }
    if (m_desktopPath.empty()) {
        ShowError(IDS_DESKTOP_MISSING);
        return false;
    }
    const std::string parameters =
        '"' + ForNarrowProgram(database, std::string(), SystemAnsiCodePage()) + '"';
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
