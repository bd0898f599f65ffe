// Random walk over the main window against a simple model of the list: Add
// (chosen or cancelled), select, Remove (with and without a selection) and
// Generate. After every step the list box, the path list and the buttons must
// match the model. Seeded: ZC_MODEL_SEED repeats a run, and a failure names it;
// ZC_MODEL_STEPS makes it longer (or shorter) than the default.
#include "framework/FileDialog.h"

#include "MainWindowHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace testing_support;

namespace {

constexpr int kDefaultSteps = 1000;
constexpr int kRealPickerEvery = 20; // one step in 20 uses the real picker

struct Entry {
    std::string name, path;
};

// What the test's stand-in picker answers next (the dialog runs on another thread).
std::string g_nextPath;
bool g_nextChosen = false;

bool AnswerFromModel(std::string& path) {
    path = g_nextPath;
    return g_nextChosen;
}

class ListModelTest : public MainWindowHost {
protected:
    void SetUp() override {
        MainWindowHost::SetUp();
        // Real files, so the real picker can choose them too: same names in
        // different folders, spaces, and a code-page character.
        for (const char* relative : {"a\\mine.cer", "b\\mine.cer", "My Certs\\root.cer",
                                     "My Certs\\other.ple", "x\\caf\xc3\xa9.cer"}) {
            const std::string path = Cert(relative);
            m_pool.push_back(Entry{path.substr(path.rfind('\\') + 1), path});
        }
        PlaceStandin("converter", Bin() / "cert2kvf.exe");
        PlaceRegisteredInstallTool();
        CFileDialog::SetTestAnswer(&AnswerFromModel);
    }
    void TearDown() override {
        CFileDialog::SetTestAnswer(nullptr);
        MainWindowHost::TearDown();
    }

    static std::string ConverterArgs(const std::vector<Entry>& entries) {
        std::string args = "certs.kvf";
        for (const Entry& e : entries) {
            args += " \"" + e.path + "\"";
        }
        return args;
    }

    std::vector<Entry> m_pool;
};

TEST_F(ListModelTest, RandomStepsKeepListPathsAndButtonsInStep) {
    const char* fromEnv = std::getenv("ZC_MODEL_SEED");
    const unsigned seed =
        fromEnv != nullptr ? static_cast<unsigned>(std::strtoul(fromEnv, nullptr, 10)) : 20261208u;
    const char* stepsFromEnv = std::getenv("ZC_MODEL_STEPS");
    const int steps = stepsFromEnv != nullptr ? std::atoi(stepsFromEnv) : kDefaultSteps;
    std::mt19937 random(seed);
    const auto chance = [&](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };

    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg& dlg) {
        // On the thread that fails, so that a failure names the run.
        SCOPED_TRACE("ZC_MODEL_SEED=" + std::to_string(seed) +
                     " ZC_MODEL_STEPS=" + std::to_string(steps));
        std::vector<Entry> model;
        int selection = LB_ERR;
        int generates = 0;
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            std::string action;
            const int roll = std::uniform_int_distribution<int>(0, 99)(random);
            if (step % kRealPickerEvery == kRealPickerEvery - 1) {
                // Through the real picker, stand-in answer switched off.
                const Entry& pick = m_pool[random() % m_pool.size()];
                const bool choose = chance(80);
                action = std::string("real picker ") + (choose ? "add " + pick.path : "cancel");
                CFileDialog::SetTestAnswer(nullptr);
                d.PostClick(IDC_ADD);
                const bool done = choose ? DialogDriver::ChooseInPicker(kPickerCaption, pick.path)
                                         : DialogDriver::CancelPicker(kPickerCaption);
                CFileDialog::SetTestAnswer(&AnswerFromModel);
                ASSERT_TRUE(done) << action;
                if (choose) {
                    model.push_back(pick);
                    selection = static_cast<int>(model.size()) - 1;
                }
            } else if (roll < 35) {
                const Entry& pick = m_pool[random() % m_pool.size()];
                g_nextChosen = chance(85);
                g_nextPath = pick.path;
                action = g_nextChosen ? "add " + pick.path : "add cancelled";
                d.Click(IDC_ADD);
                if (g_nextChosen) {
                    model.push_back(pick);
                    selection = static_cast<int>(model.size()) - 1;
                }
            } else if (roll < 55) {
                selection = model.empty() || chance(15) ? LB_ERR
                                                        : static_cast<int>(random() % model.size());
                action = "select " + std::to_string(selection);
                d.SelectLine(IDC_CERT_LIST, selection);
            } else if (roll < 94) {
                action = "remove";
                d.Click(IDC_REMOVE); // a disabled button ignores the click
                if (selection != LB_ERR) {
                    model.erase(model.begin() + selection);
                    selection = LB_ERR;
                }
            } else {
                action = "generate";
                const size_t before = Runs("converter").size();
                d.Click(IDC_GENERATE);
                const auto runs = Runs("converter");
                if (model.empty()) {
                    EXPECT_EQ(runs.size(), before) << "step " << step << ": " << action;
                } else {
                    ++generates;
                    ASSERT_EQ(runs.size(), before + 1) << "step " << step << ": " << action;
                    EXPECT_EQ(runs.back().args, ConverterArgs(model)) << "step " << step;
                }
            }

            SCOPED_TRACE("step " + std::to_string(step) + ": " + action);
            std::vector<std::string> names, paths;
            for (const Entry& e : model) {
                names.push_back(e.name);
                paths.push_back(e.path);
            }
            ASSERT_EQ(d.ListLines(IDC_CERT_LIST), names);
            ASSERT_EQ(dlg.CertPaths(), paths);
            ASSERT_EQ(d.ListSelection(IDC_CERT_LIST), selection);
            ASSERT_EQ(d.Enabled(IDC_REMOVE), !model.empty());
            ASSERT_EQ(d.Enabled(IDC_GENERATE), !model.empty());
            ASSERT_TRUE(d.Enabled(IDC_ADD));
        }
        EXPECT_GT(generates, steps / 50);
    });
}

} // namespace
