#include "DialogDriver.h"

#include "TestSupport.h"

#include <fstream>

namespace testing_support {

namespace {

struct FindRequest {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lParam) {
    auto* request = reinterpret_cast<FindRequest*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(hwnd) && request->caption == text) {
        request->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The picker's file name box: the combo box of the explorer-style picker, or
// the plain edit of older layouts.
HWND FileNameBox(HWND picker) {
    constexpr int kFileNameCombo = 0x47C;
    constexpr int kFileNameEdit = 0x480;
    if (HWND combo = ::GetDlgItem(picker, kFileNameCombo)) {
        return combo;
    }
    return ::GetDlgItem(picker, kFileNameEdit);
}

} // namespace

void DialogDriver::PressKey(HWND window, UINT key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    const HWND target = info.hwndFocus != nullptr ? info.hwndFocus : window;
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

std::vector<std::string> DialogDriver::ListLines(int listId) const {
    std::vector<std::string> lines;
    const HWND list = Item(listId);
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::string line(static_cast<size_t>(length) + 1, '\0');
        ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

int DialogDriver::ListSelection(int listId) const {
    return static_cast<int>(::SendMessageA(Item(listId), LB_GETCURSEL, 0, 0));
}

void DialogDriver::SelectLine(int listId, int index) const {
    ::SendMessageA(Item(listId), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

HWND DialogDriver::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_dialog, nullptr), &info);
    return info.hwndFocus;
}

bool DialogDriver::ChooseInPicker(const std::string& title, const std::string& path) {
    const HWND picker = WaitForWindow(title);
    if (picker == nullptr) {
        return false;
    }
    ::SendMessageA(FileNameBox(picker), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
    return WaitGone(picker);
}

bool DialogDriver::CancelPicker(const std::string& title) {
    const HWND picker = WaitForWindow(title);
    if (picker == nullptr) {
        return false;
    }
    ::PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDCANCEL)));
    return WaitGone(picker);
}

HWND DialogDriver::WaitForWindow(const std::string& caption, DWORD timeoutMs) {
    FindRequest request{caption};
    WaitFor(
        [&] {
            ::EnumWindows(&MatchCaption, reinterpret_cast<LPARAM>(&request));
            return request.found != nullptr;
        },
        timeoutMs);
    return request.found;
}

bool DialogDriver::WaitGone(HWND window, DWORD timeoutMs) {
    return WaitFor([window] { return !::IsWindow(window); }, timeoutMs);
}

namespace {

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    }
    return TRUE;
}

} // namespace

void DialogDriver::CloseOthers(HWND main) {
    const DWORD thread = ::GetWindowThreadProcessId(main, nullptr);
    for (int round = 0; round < 20; ++round) {
        std::vector<HWND> windows;
        ::EnumThreadWindows(thread, &CollectVisible, reinterpret_cast<LPARAM>(&windows));
        bool any = false;
        for (HWND window : windows) {
            // Only windows that are not disabled by a modal one of their own.
            if (window != main && ::IsWindowEnabled(window)) {
                ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                any = true;
            }
        }
        if (!any) {
            return;
        }
        ::Sleep(200);
    }
}

bool DialogDriver::SaveScreenshot(HWND window, const std::string& path) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(stride * static_cast<DWORD>(height));
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

} // namespace testing_support
