// Built against a copy of the generation code whose converter wait is cut
// short (ZC_CONVERTER_WAIT_MS), so a converter that never finishes can be
// tested without waiting the full minute.
#include "generation/CertInstaller.h"
#include "generation/GenerateCommand.h"

#include "SiblingLayout.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class ConverterTimeoutTest : public SiblingLayout {};

TEST_F(ConverterTimeoutTest, HungConverterIsWaitedForOnlyUpToTheBound) {
    static_assert(CCertInstaller::kConverterWaitMs < 10000, "built with a short bound");
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    ScopedEnv hang("ZC_STANDIN_DELAY_MS", "6000");
    MessageBoxWatcher watcher;
    CCertInstaller installer;

    const DWORD start = ::GetTickCount();
    GenerateKvf({"C:\\Certs\\mine.cer"}, 1, installer);
    const DWORD elapsed = ::GetTickCount() - start;

    EXPECT_GE(elapsed, CCertInstaller::kConverterWaitMs);
    // The message box is closed by the watcher at once.
    EXPECT_LT(elapsed, CCertInstaller::kConverterWaitMs + 5000);
    // A converter that did not end in time failed: the user hears so, and the
    // install tool does not get whatever it may still write.
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe failed!"});
    // Let the slow converter finish inside this test, so nothing outlives it.
    EXPECT_EQ(WaitForRuns("converter", 1).size(), 1u);
    EXPECT_TRUE(NothingStarted("install"));
}

} // namespace
