#include "GenerateCommand.h"

#include "CertInstaller.h"
#include "Locator.h"
#include "framework/FileFind.h"

#include <windows.h>

#include <algorithm>

namespace {
const char kTrustedFolder[] = "Trusted CAs";
const char kCertPattern[] = "\\*.cer";
constexpr int kSearchLevels = 2;
// Gives the converter's output a moment to settle before the install tool reads it.
constexpr DWORD kInstallPauseMs = 100;
} // namespace

std::vector<std::string> BuildFileSet(const std::vector<std::string>& certPaths,
                                      std::size_t listCount, const std::string& converterFolder) {
    std::vector<std::string> files;
    std::string caFolder;
    const std::string pattern = std::string(kTrustedFolder) + kCertPattern;
    // The search that finds the folder is the one listed: the same pattern in
    // the same folder, so one pass over it does.
    CFileFind find;
    if (LocateUpward(kSearchLevels, pattern, caFolder, find)) {
        // Relative names are taken from the converter's working folder.
        const std::string folder =
            (caFolder == converterFolder ? std::string() : caFolder + '\\') + kTrustedFolder + '\\';
        for (bool more = true; more; more = find.FindNextFile()) {
            // A folder is no certificate, whatever its name.
            if (!find.IsDirectory()) {
                files.push_back(folder + find.GetFileName());
            }
        }
    }
    const std::size_t count = std::min(listCount, certPaths.size());
    files.insert(files.end(), certPaths.begin(), certPaths.begin() + count);
    return files;
}

void GenerateKvf(const std::vector<std::string>& certPaths, std::size_t listCount,
                 CCertInstaller& installer) {
    const ConverterLocation converter = LocateConverter();
    const std::vector<std::string> files = BuildFileSet(certPaths, listCount, converter.folder);
    if (files.empty()) {
        return;
    }
    installer.SetFiles(files);
    if (!installer.GenerateDatabase(converter)) {
        return;
    }
    ::Sleep(kInstallPauseMs);
    installer.Install();
}
