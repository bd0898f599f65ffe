// Times dialog programs from CreateProcess to their window being visible, then
// closes them with WM_CLOSE. The targets start in turn, round after round, so
// each sees the same Wine server, caches and load.
//
//   startup_probe <rounds> <warm-up rounds> <exe> <caption> [<exe> <caption>...]
//
// Prints "run <target> <ms>" per counted start and, per target,
// "summary <target> <median ms> <min ms> <max ms> <starts>". Exit code 1 when a
// start failed: no window, or the program did not close.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kExitWaitMs = 10000;
// Lets the previous process's teardown finish before the next start is timed.
constexpr DWORD kSettleMs = 200;

struct Target {
    std::wstring exe;
    std::wstring caption;
    std::vector<double> ms;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& freq) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

// A visible top-level dialog of process `pid` with the given caption.
HWND FindVisibleDialog(DWORD pid, const std::wstring& caption) {
    HWND hwnd = nullptr;
    while ((hwnd = ::FindWindowExW(nullptr, hwnd, L"#32770", caption.c_str())) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid && ::IsWindowVisible(hwnd)) {
            return hwnd;
        }
    }
    return nullptr;
}

// One start: milliseconds to the visible window, or a negative value on failure.
double TimeStart(const Target& target, const LARGE_INTEGER& freq) {
    std::wstring folder = target.exe;
    const std::wstring::size_type cut = folder.find_last_of(L"\\/");
    folder = cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
    std::wstring commandLine = L"\"" + target.exe + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(target.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", target.exe.c_str(),
                      ::GetLastError());
        return -1;
    }

    double ms = -1;
    HWND hwnd = nullptr;
    for (;;) {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        hwnd = FindVisibleDialog(process.dwProcessId, target.caption);
        if (hwnd != nullptr) {
            ms = Seconds(start, now, freq) * 1000.0;
            break;
        }
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"%ls ended without showing \"%ls\"\n", target.exe.c_str(),
                          target.caption.c_str());
            break;
        }
        if (Seconds(start, now, freq) * 1000.0 > kWindowWaitMs) {
            std::fwprintf(stderr, L"no window \"%ls\" within %lu ms\n", target.caption.c_str(),
                          kWindowWaitMs);
            break;
        }
        ::Sleep(1);
    }

    if (hwnd != nullptr) {
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not close; terminating it\n", target.exe.c_str());
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, kExitWaitMs);
        ms = -1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 5 || (argc - 3) % 2 != 0) {
        std::fputs("usage: startup_probe <rounds> <warm-up rounds> <exe> <caption> "
                   "[<exe> <caption>...]\n",
                   stderr);
        return 2;
    }
    const int rounds = _wtoi(argv[1]);
    const int warmup = _wtoi(argv[2]);
    if (rounds < 1 || warmup < 0) {
        std::fputs("rounds must be at least 1\n", stderr);
        return 2;
    }
    std::vector<Target> targets;
    for (int i = 3; i + 1 < argc; i += 2) {
        targets.push_back(Target{argv[i], argv[i + 1], {}});
    }
    ::LocalFree(argv);

    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    bool failed = false;
    for (int round = 0; round < warmup + rounds && !failed; ++round) {
        for (std::size_t t = 0; t < targets.size() && !failed; ++t) {
            const double ms = TimeStart(targets[t], freq);
            failed = ms < 0;
            if (!failed && round >= warmup) {
                targets[t].ms.push_back(ms);
                std::printf("run %u %.3f\n", static_cast<unsigned>(t), ms);
            }
            ::Sleep(kSettleMs);
        }
    }
    if (failed) {
        return 1;
    }
    for (std::size_t t = 0; t < targets.size(); ++t) {
        const std::vector<double>& ms = targets[t].ms;
        std::printf("summary %u %.3f %.3f %.3f %u\n", static_cast<unsigned>(t), Median(ms),
                    *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()), static_cast<unsigned>(ms.size()));
    }
    return 0;
}
