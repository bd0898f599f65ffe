#include "Strings.h"

#include "WideText.h"

#include <vector>

std::string LoadResString(UINT id) {
    // Resource strings are stored as counted UTF-16; a zero buffer size asks for a
    // read-only pointer to them, so no length limit applies.
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    return FromWide(std::wstring(text, static_cast<size_t>(length)));
}

void ShowMessageBox(UINT id) {
    const std::string text = LoadResString(id);
    ::MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK);
}

std::string ModuleFileName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        // A full buffer means the path was cut; try again with more room.
        if (length < size) {
            return std::string(buffer.data(), length);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}
