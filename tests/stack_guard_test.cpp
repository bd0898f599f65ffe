// The program's own stack-protector guard, through a probe built with it.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

using namespace testing_support;

namespace {

fs::path Probe() {
    return StandinPath("guard_probe");
}

// Runs the probe with `arguments`; its exit code, or -1 when it did not end.
long RunProbe(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + Probe().wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(Probe().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
        return -1;
    }
    DWORD code = 0;
    const bool ended = ::WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return ended ? static_cast<long>(code) : -1;
}

TEST(StackGuardTest, EveryStartGetsAnUnpredictableGuard) {
    std::set<std::string> guards;
    for (int run = 0; run < 4; ++run) {
        const fs::path file = ExeFolder() / ("guard" + std::to_string(run) + ".txt");
        ASSERT_EQ(RunProbe(L"guard \"" + file.wstring() + L"\""), 0);
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        in.close();
        fs::remove(file);
        const std::string guard = text.str();
        ASSERT_FALSE(guard.empty());
        EXPECT_NE(std::stoull(guard, nullptr, 16), 0u) << "the guard was never set";
        guards.insert(guard);
    }
    EXPECT_EQ(guards.size(), 4u) << "the same guard twice in four starts";
}

TEST(StackGuardTest, OverrunEndsTheProcessAtOnce) {
    struct Case {
        const wchar_t* bytes;
        long exitCode;
    };
    const Case cases[] = {
        {L"16", 0},                                              // fills the buffer exactly
        {L"64", static_cast<long>(STATUS_STACK_BUFFER_OVERRUN)}, // overruns it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fs::path(c.bytes).string());
        EXPECT_EQ(RunProbe(c.bytes), c.exitCode);
    }
}

} // namespace
