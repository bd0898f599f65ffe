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

std::size_t WideLength(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    return static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0));
}

std::wstring ToLongPathW(const std::string& path) {
    std::wstring wide = ToWide(path);
    const bool driveAbsolute = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    if (driveAbsolute && wide.size() >= MAX_PATH) {
        wide.insert(0, L"\\\\?\\");
    }
    return wide;
}

unsigned SystemAnsiCodePage() {
    DWORD codePage = 0;
    const int read =
        ::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                         reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
    return read > 0 && codePage != 0 ? codePage : CP_ACP;
}

bool FitsCodePage(const std::wstring& text, unsigned codePage) {
    if (text.empty() || codePage == CP_UTF8) {
        return true;
    }
    BOOL replaced = FALSE;
    const int length =
        ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, &replaced);
    return length > 0 && !replaced;
}
