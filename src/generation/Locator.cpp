#include "Locator.h"

#include "framework/FileFind.h"
#include "framework/Strings.h"

namespace {

bool Locate(const std::string& executablePath, int levels, const std::string& relativeName,
            std::string& folderOut, CFileFind& find) {
    find.Close();
    folderOut = executablePath;
    bool found = false;
    for (;;) {
        const std::string::size_type cut = folderOut.rfind('\\');
        // Stop at a drive root ("C:" has no backslash left) or a leading backslash.
        if (cut == std::string::npos || cut == 0) {
            break;
        }
        folderOut.erase(cut);
        found = find.FindFile(folderOut + '\\' + relativeName);
        if (found || --levels <= 0) {
            break;
        }
    }
    return found;
}

} // namespace

bool LocateUpward(int levels, const std::string& relativeName, std::string& folderOut) {
    CFileFind find;
    return Locate(ModuleFileName(), levels, relativeName, folderOut, find);
}

bool LocateUpward(int levels, const std::string& relativeName, std::string& folderOut,
                  CFileFind& find) {
    return Locate(ModuleFileName(), levels, relativeName, folderOut, find);
}

bool LocateUpwardFrom(const std::string& executablePath, int levels,
                      const std::string& relativeName, std::string& folderOut) {
    CFileFind find;
    return Locate(executablePath, levels, relativeName, folderOut, find);
}
