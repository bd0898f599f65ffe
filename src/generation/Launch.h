#pragma once

#include "framework/UniqueHandle.h"

#include <string>

struct LaunchResult {
    bool started = false;       // the shell's result code was above 32
    UniqueKernelHandle process; // the started process, when one was asked for
};

// True when the command line `"program" parameters`, with its terminating
// zero, fits the 32,767 UTF-16 units the system hands a new process whole.
bool CommandLineFits(const std::string& program, const std::string& parameters);

// Opens `program` (a full path) through the shell's "open" verb with a hidden
// window and no error box of the shell's own. An empty folder means no working
// folder. A command line that does not fit is not started: it would arrive cut.
LaunchResult ShellOpen(const std::string& program, const std::string& parameters,
                       const std::string& folder, bool wantProcess);

// Waits up to timeoutMs for `process` to end. Meanwhile the thread's windows keep
// painting and user input is thrown away. False when the time ran out.
bool WaitPainting(HANDLE process, DWORD timeoutMs);

// Ends `process` and waits until it has ended, so that nothing it would still
// do can happen afterwards.
void EndProcess(HANDLE process);
