#include "WideText.h"

#include <windows.h>

std::wstring ToWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring ToLongPathW(const std::string& path) {
    std::wstring wide = ToWide(path);
    const bool driveAbsolute = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    if (driveAbsolute && wide.size() >= MAX_PATH) {
        wide.insert(0, L"\\\\?\\");
    }
    return wide;
}
