#pragma once

#include "TestSupport.h"
#include "framework/Strings.h"

#include <memory>

#include <gtest/gtest.h>

namespace testing_support {

// Lays out companion files beside the running test executable ("bin") and one
// folder up ("parent"), starting and ending every test with both folders empty
// but for the executable. Stand-ins record their runs in Log().
class SiblingLayout : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        DesktopRegistry::Remove();
        m_log = std::make_unique<ScopedEnv>("ZC_STANDIN_LOG", LogPath().string());
    }
    void TearDown() override {
        m_log.reset();
        DesktopRegistry::Remove();
        Clean();
    }

    static fs::path Bin() { return ExeFolder(); }
    static fs::path Parent() { return ExeFolder().parent_path(); }
    static fs::path LogPath() { return Parent() / "standin.log"; }
    static std::vector<StandinRun> Log() { return ReadStandinLog(LogPath()); }
    static std::vector<StandinRun> Runs(const std::string& role) {
        std::vector<StandinRun> runs;
        for (const StandinRun& run : Log()) {
            if (run.role == role) {
                runs.push_back(run);
            }
        }
        return runs;
    }

    // The install tool in a registered "Suite" folder one level up.
    static void PlaceRegisteredInstallTool() {
        PlaceStandin("install", Parent() / "Suite" / "Sendora.exe");
        DesktopRegistry::SetValue(REG_SZ, (Parent() / "Suite").string() + '\0');
    }

    // The install tool is not waited for: give its record time to arrive.
    static std::vector<StandinRun> WaitForRuns(const std::string& role, size_t count) {
        WaitFor([&] { return Runs(role).size() >= count; });
        return Runs(role);
    }
    // True when no stand-in (of `role`, where given) has recorded a run, after
    // allowing one time to start.
    static bool NothingStarted(const std::string& role = std::string()) {
        ::Sleep(1500);
        return role.empty() ? Log().empty() : Runs(role).empty();
    }

private:
    static void Clean() {
        ClearFolder(Bin(), {ModuleFileName().substr(Bin().string().size() + 1)});
        ClearFolder(Parent(), {"bin"});
    }

    std::unique_ptr<ScopedEnv> m_log;
};

} // namespace testing_support
