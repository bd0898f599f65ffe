// Drives the demo as a person would, for `scripts/run --demo` without a display:
// starts the program, clicks Add, picks a certificate in the real open-file
// picker, clicks Generate KVF, waits for the install tool and closes the program.
//
//   zc_demo_driver <program.exe> <certificate.cer> <install tool's log>
//
// Before each screenshot-worthy moment it writes "shot <name>" to stdout and
// waits for a line on stdin, so the caller can capture the screen meanwhile;
// "done" ends its output (the pipe itself may stay open in Wine's other
// processes). Progress and failures go to stderr. Exit code 0 when every step
// happened.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "ProgramWindow.h"

#include <cstdio>
#include <string>

using namespace program_window;

namespace {

// A first start in a fresh prefix can take Wine a while.
constexpr DWORD kWindowWaitMs = 60000;
constexpr DWORD kStepWaitMs = 30000;

void Say(const char* text) {
    std::fprintf(stderr, "demo: %s\n", text);
    std::fflush(stderr);
}

std::string Narrow(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

template <class Condition> bool WaitFor(Condition condition, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount64() >= end) {
            return false;
        }
        ::Sleep(50);
    }
}

// A message box the program shows instead of going on (its caption varies).
HWND MessageBoxOf(DWORD pid, HWND mainWindow) {
    return pid != 0 ? FindDialog(pid, nullptr, mainWindow) : nullptr;
}

std::string MessageText(HWND box) {
    const HWND text = ::GetDlgItem(box, 0xFFFF);
    return "\"" + Narrow(text != nullptr ? WindowText(text) : L"") + "\"";
}

// Has the window painted, then lets the caller capture the screen.
bool Shot(const char* name, HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Send(hwnd, WM_NULL);
    std::printf("shot %s\n", name);
    std::fflush(stdout);
    char answer[64];
    return std::fgets(answer, sizeof answer, stdin) != nullptr;
}

// The number of entries the picker's file list shows; -1 without a list.
LRESULT FileCount(HWND picker) {
    const HWND view = ::FindWindowExW(picker, nullptr, L"SHELLDLL_DefView", nullptr);
    const HWND list =
        view != nullptr ? ::FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
    return list != nullptr ? Send(list, LVM_GETITEMCOUNT) : -1;
}

bool FileHas(const std::wstring& path, const char* text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    ::CloseHandle(file);
    return content.find(text) != std::string::npos;
}

class Demo {
public:
    Demo(std::wstring program, std::wstring certificate, std::wstring installLog)
        : m_program(std::move(program)), m_certificate(std::move(certificate)),
          m_installLog(std::move(installLog)) {}

    ~Demo() {
        if (m_info.hProcess != nullptr) {
            if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(m_info.hProcess, 99);
            }
            ::CloseHandle(m_info.hProcess);
            ::CloseHandle(m_info.hThread);
        }
    }

    bool Run() { return Start() && Add() && Generate() && Close(); }

private:
    // Reports the failed step and leaves a screenshot of how it looks.
    bool Fail(const char* what) {
        Say(what);
        if (const HWND box = MessageBoxOf(m_info.dwProcessId, m_window)) {
            std::fprintf(stderr, "demo: the program shows a message: %s\n",
                         MessageText(box).c_str());
            Shot("failed", box);
        } else if (m_window != nullptr) {
            Shot("failed", m_window);
        }
        return false;
    }

    HWND Item(int id) const { return ::GetDlgItem(m_window, id); }

    // Started in its own folder, as a double-click on it would.
    bool Start() {
        const size_t slash = m_program.find_last_of(L'\\');
        const std::wstring folder = m_program.substr(0, slash);
        std::wstring commandLine = L"\"" + m_program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(m_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, folder.c_str(), &startup, &m_info)) {
            return Fail("could not start the program");
        }
        Say("started the program; waiting for its window");
        const bool shown = WaitFor(
            [&] {
                m_window = FindDialog(m_info.dwProcessId, kMainCaption);
                return m_window != nullptr ||
                       ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
            },
            kWindowWaitMs);
        if (!shown || m_window == nullptr) {
            return Fail("the main window did not appear");
        }
        return Shot("1-started", m_window);
    }

    // Add, then the certificate chosen in the picker by its full path and Open.
    bool Add() {
        Say("clicking Add");
        ::PostMessageW(Item(kAdd), BM_CLICK, 0, 0);
        HWND picker = nullptr;
        if (!WaitFor(
                [&] {
                    picker = FindDialog(m_info.dwProcessId, kPickerCaption);
                    return picker != nullptr;
                },
                kStepWaitMs)) {
            return Fail("Add opened no \"Find Certificates\" picker");
        }
        const HWND nameBox = PickerNameBox(picker);
        if (nameBox == nullptr) {
            return Fail("the picker has no file-name box");
        }
        // First into the certificate's folder, as a person would browse to it.
        const size_t slash = m_certificate.find_last_of(L'\\');
        const std::wstring folder = m_certificate.substr(0, slash);
        const std::wstring name = m_certificate.substr(slash + 1);
        std::fprintf(stderr, "demo: going to %s in the picker\n", Narrow(folder).c_str());
        if (Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str())) != TRUE) {
            return Fail("could not type into the picker");
        }
        Send(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
             reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
        // The folder holds the one certificate: the list shows just it once there.
        if (!WaitFor([&] { return FileCount(picker) == 1 && WindowText(nameBox).empty(); },
                     kStepWaitMs)) {
            return Fail("the picker did not go to the certificate's folder");
        }
        std::fprintf(stderr, "demo: typing %s\n", Narrow(name).c_str());
        if (Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str())) != TRUE) {
            return Fail("could not type into the picker");
        }
        if (!Shot("2-picker", picker)) {
            return false;
        }
        Say("pressing Open");
        ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
        if (!WaitFor([&] { return !::IsWindow(picker); }, kStepWaitMs)) {
            return Fail("the picker did not take the certificate");
        }
        if (!WaitFor([&] { return Send(Item(kCertList), LB_GETCOUNT) == 1; }, kStepWaitMs)) {
            return Fail("the certificate did not appear in the list");
        }
        return Shot("3-added", m_window);
    }

    // Generate KVF; done when the install tool has recorded its run and the window is back.
    bool Generate() {
        Say("clicking Generate KVF; waiting for the converter and the install tool");
        ::PostMessageW(Item(kGenerate), BM_CLICK, 0, 0);
        if (!WaitFor(
                [&] {
                    return FileHas(m_installLog, "end\n") ||
                           MessageBoxOf(m_info.dwProcessId, m_window) != nullptr;
                },
                kStepWaitMs) ||
            !FileHas(m_installLog, "end\n")) {
            return Fail("the install tool did not run");
        }
        if (!WaitFor([&] { return ::IsWindowEnabled(m_window) != FALSE; }, kStepWaitMs)) {
            return Fail("the window stayed disabled after Generate KVF");
        }
        return Shot("4-generated", m_window);
    }

    bool Close() {
        Say("clicking Cancel to close the program");
        ::PostMessageW(Item(IDCANCEL), BM_CLICK, 0, 0);
        if (::WaitForSingleObject(m_info.hProcess, kStepWaitMs) != WAIT_OBJECT_0) {
            return Fail("the program did not close");
        }
        DWORD code = 0;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        std::fprintf(stderr, "demo: the program ended with exit code %lu\n",
                     static_cast<unsigned long>(code));
        return code == 0;
    }

    std::wstring m_program, m_certificate, m_installLog;
    PROCESS_INFORMATION m_info{};
    HWND m_window = nullptr;
};

} // namespace

int main() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (args == nullptr || count != 4) {
        Say("usage: zc_demo_driver <program.exe> <certificate.cer> <install tool's log>");
        return 2;
    }
    bool done = false;
    {
        Demo demo(args[1], args[2], args[3]);
        ::LocalFree(args);
        done = demo.Run();
    }
    std::printf("done\n");
    std::fflush(stdout);
    return done ? 0 : 1;
}
