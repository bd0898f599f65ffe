#include "Launch.h"

#include "framework/SystemLibrary.h"
#include "framework/WideText.h"

#include <shellapi.h>

bool CommandLineFits(const std::string& program, const std::string& parameters) {
    constexpr std::size_t kLimit = 32767;
    // Two quotes, a space and the zero. No character takes more UTF-16 units
    // than bytes, so most command lines need no conversion to tell.
    const std::size_t fixed = 4;
    return program.size() + parameters.size() + fixed <= kLimit ||
           WideLength(program) + WideLength(parameters) + fixed <= kLimit;
}

LaunchResult ShellOpen(const std::string& program, const std::string& parameters,
                       const std::string& folder, bool wantProcess) {
    if (!CommandLineFits(program, parameters)) {
        return {};
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask =
        SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (wantProcess ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.hwnd = nullptr;
    info.lpVerb = "open";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_HIDE;

    // A shell that cannot be had starts nothing.
    static const auto shellExecuteEx =
        SystemFunction<decltype(::ShellExecuteExA)>(L"shell32.dll", "ShellExecuteExA");
    const BOOL ok = shellExecuteEx != nullptr && shellExecuteEx(&info);
    LaunchResult result;
    result.process.Reset(info.hProcess);
    result.started = ok && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    return result;
}

namespace {

// Paints what needs painting and drops queued input. Other posted messages stay
// queued for the caller's own loop, so no handler runs inside the wait.
void PumpPaintAndInput() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_QS_INPUT | PM_REMOVE)) {
    }
}

} // namespace

bool WaitPainting(HANDLE process, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        }
        const DWORD wake = ::MsgWaitForMultipleObjectsEx(1, &process, timeoutMs - elapsed,
                                                         QS_PAINT | QS_INPUT | QS_SENDMESSAGE,
                                                         MWMO_INPUTAVAILABLE);
        if (wake == WAIT_OBJECT_0) {
            return true;
        }
        if (wake == WAIT_FAILED) {
            return false;
        }
        PumpPaintAndInput();
    }
}

void EndProcess(HANDLE process) {
    // Ending takes effect once the process has let go of its files; that is
    // quick, but not immediate.
    constexpr DWORD kEndWaitMs = 5000;
    ::TerminateProcess(process, ERROR_TIMEOUT);
    ::WaitForSingleObject(process, kEndWaitMs);
}
