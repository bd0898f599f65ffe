// The stack protector's guard value and failure path, in place of the compiler
// runtime's: that one seeds the guard by opening a cryptographic service
// provider before the program starts, which loads several DLLs for eight bytes
// of randomness. Linked into the program only.
#if defined(__GNUC__)

#include <windows.h>

#include <ntsecapi.h>

extern "C" {

// Read by every protected function, on entry and before it returns.
void* __stack_chk_guard = nullptr;

// A protected function found its frame overwritten. Nothing on this stack can
// be trusted to run any more: end the process at once, as Windows' own buffer
// overrun check does.
[[noreturn]] void __stack_chk_fail() {
    ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

} // extern "C"

namespace {

// Runs among the static constructors, before WinMain, where no protected frame
// is live to see the guard change.
__attribute__((constructor, no_stack_protector)) void SetUpStackGuard() {
    void* guard = nullptr;
    if (!::RtlGenRandom(&guard, sizeof guard) || guard == nullptr) {
        // Never seen to fail; if it does, still not a value known in advance.
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        guard = reinterpret_cast<void*>(static_cast<UINT_PTR>(counter.QuadPart) ^
                                        (static_cast<UINT_PTR>(::GetCurrentProcessId()) << 16) ^
                                        reinterpret_cast<UINT_PTR>(&counter));
    }
    __stack_chk_guard = guard;
}

} // namespace

#endif
