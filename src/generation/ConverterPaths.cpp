#include "ConverterPaths.h"

#include "framework/WideText.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {
bool IsDriveAbsolute(const std::string& path) {
    const char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
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

} // namespace

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

std::string ForNarrowProgram(const std::string& path, const std::string& folder,
                             unsigned codePage) {
    // Every ANSI code page carries ASCII: most paths need no conversion at all.
    if (std::all_of(path.begin(), path.end(), [](char c) { return (c & 0x80) == 0; })) {
        return path;
    }
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
