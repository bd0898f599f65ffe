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

// A converter that outlasts the bound is ended: nothing it writes (or still
// writes) may pass for the database of the next Generate, whose converter fails.
TEST_F(ConverterTimeoutTest, OverrunningConverterIsEndedAndNothingOfItInstalled) {
    static_assert(CCertInstaller::kConverterWaitMs < 10000, "built with a short bound");
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    const struct {
        const char *name, *delayMs, *lingerMs; // before and after writing the database
    } overruns[] = {{"writes after the bound", "2500", "0"}, {"wrote, runs on", "0", "6000"}};
    for (const auto& overrun : overruns) {
        SCOPED_TRACE(overrun.name);
        RemoveTree(Bin() / "certs.kvf");
        RemoveTree(LogPath());
        MessageBoxWatcher watcher;
        CCertInstaller installer;
        {
            ScopedEnv delay("ZC_STANDIN_DELAY_MS", overrun.delayMs);
            ScopedEnv linger("ZC_STANDIN_LINGER_MS", overrun.lingerMs);
            const DWORD start = ::GetTickCount();
            GenerateKvf({"C:\\Certs\\mine.cer"}, 1, installer);
            const DWORD elapsed = ::GetTickCount() - start;
            EXPECT_GE(elapsed, CCertInstaller::kConverterWaitMs);
            // The message box is closed by the watcher at once.
            EXPECT_LT(elapsed, CCertInstaller::kConverterWaitMs + 5000);
        }
        {
            ScopedEnv delay("ZC_STANDIN_DELAY_MS", "800");
            ScopedEnv nothing("ZC_STANDIN_WRITE", "0");
            GenerateKvf({"C:\\Certs\\mine.cer"}, 1, installer);
        }
        EXPECT_EQ(watcher.Texts(), std::vector<std::string>(2, "cert2kvf.exe failed!"));
        EXPECT_TRUE(NothingStarted("install"));
        // The ended one never finished its record.
        EXPECT_EQ(Runs("converter").size(), 1u);
    }
}

} // namespace
