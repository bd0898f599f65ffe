#include "generation/GenerateCommand.h"

#include "generation/CertInstaller.h"

#include "SiblingLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

class GenerateCommandTest : public SiblingLayout {
protected:
    // Entries "Trusted CAs\name" for every *.cer the platform lists in `folder`, in its order.
    static std::vector<std::string> TrustedEntries(const fs::path& folder) {
        std::vector<std::string> entries;
        WIN32_FIND_DATAA data;
        const std::string pattern = (folder / "Trusted CAs" / "*.cer").string();
        HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) {
            return entries;
        }
        do {
            entries.push_back(std::string("Trusted CAs\\") + data.cFileName);
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
        return entries;
    }

    static std::string Quoted(const std::vector<std::string>& files) {
        std::string args = "certs.kvf";
        for (const std::string& file : files) {
            args += " \"" + file + "\"";
        }
        return args;
    }
};

TEST_F(GenerateCommandTest, FileSetIsTrustedEntriesThenTheUserPaths) {
    struct Case {
        const char* label;
        std::vector<std::string> trusted; // created in "Trusted CAs" beside the program
        std::vector<std::string> user;
        size_t listCount;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"no trusted folder", {}, {"C:\\Certs\\mine.cer"}, 1, {"C:\\Certs\\mine.cer"}},
        {"trusted only", {"root1.cer"}, {}, 0, {"Trusted CAs\\root1.cer"}},
        {"trusted first",
         {"root1.cer"},
         {"C:\\Certs\\mine.cer"},
         1,
         {"Trusted CAs\\root1.cer", "C:\\Certs\\mine.cer"}},
        {"other files are skipped",
         {"notes.txt", "root1.cer", "root1.cer.bak"},
         {},
         0,
         {"Trusted CAs\\root1.cer"}},
        // A folder is no certificate, though it makes "Trusted CAs" found.
        {"folders are skipped",
         {"sub.cer\\", "root1.cer"},
         {"C:\\Certs\\mine.cer"},
         1,
         {"Trusted CAs\\root1.cer", "C:\\Certs\\mine.cer"}},
        {"a folder alone", {"sub.cer\\"}, {}, 0, {}},
        {"duplicates stay", {}, {"C:\\a.cer", "C:\\a.cer"}, 2, {"C:\\a.cer", "C:\\a.cer"}},
        {"only the listed count", {}, {"C:\\a.cer", "C:\\b.cer"}, 1, {"C:\\a.cer"}},
        {"nothing at all", {}, {}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(Bin() / "Trusted CAs");
        for (const std::string& name : c.trusted) {
            if (name.back() == '\\') {
                fs::create_directories(Bin() / "Trusted CAs" / name);
            } else {
                WriteFile(Bin() / "Trusted CAs" / name);
            }
        }
        EXPECT_EQ(BuildFileSet(c.user, c.listCount, ToAcp(Bin())), c.expected);
    }
}

TEST_F(GenerateCommandTest, TrustedEntriesComeInThePlatformOrder) {
    for (const char* name : {"root2.cer", "root1.cer", "Zeta.cer", "alpha.cer"}) {
        WriteFile(Parent() / "Trusted CAs" / name);
    }
    std::vector<std::string> expected = TrustedEntries(Parent());
    ASSERT_EQ(expected.size(), 4u);
    expected.push_back("C:\\Certs\\mine.cer");

    EXPECT_EQ(BuildFileSet({"C:\\Certs\\mine.cer"}, 1, ToAcp(Parent())), expected);
}

TEST_F(GenerateCommandTest, RunsConverterThenInstallToolOnTheFinishedDatabase) {
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    WriteFile(Bin() / "Trusted CAs" / "root1.cer");
    // The converter takes its time: the install tool must still see its output.
    ScopedEnv delay("ZC_STANDIN_DELAY_MS", "1500");
    MessageBoxWatcher watcher;
    CCertInstaller installer;
    const std::vector<std::string> paths = {"C:\\My Certs\\mine.cer", "C:\\My Certs\\mine.cer"};

    const DWORD start = ::GetTickCount();
    GenerateKvf(paths, paths.size(), installer);
    EXPECT_GE(::GetTickCount() - start, 1500u);

    const std::vector<std::string> files = {"Trusted CAs\\root1.cer", paths[0], paths[1]};
    EXPECT_EQ(installer.Files(), files);
    WaitForRuns("install", 1);
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].role, "converter");
    EXPECT_EQ(log[0].args, Quoted(files));
    EXPECT_EQ(log[0].cwd, Bin().string());
    EXPECT_EQ(log[1].role, "install");
    EXPECT_EQ(log[1].args, "\"" + (Bin() / "certs.kvf").string() + "\"");
    EXPECT_EQ(log[1].database, "database from: " + Quoted(files));
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

TEST_F(GenerateCommandTest, ManyCertificatesAndAwkwardPathsReachTheConverterWhole) {
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    for (int i = 0; i < 500; ++i) {
        WriteFile(Bin() / "Trusted CAs" / ("root" + std::to_string(i) + ".cer"));
    }
    // Characters the shell or a command interpreter would treat specially, and
    // one from the system code page.
    const std::vector<std::string> user = {"C:\\Certs (old)\\a&b.cer", "C:\\100% sure\\^caret.cer",
                                           "C:\\My Certs\\caf\xc3\xa9.cer",
                                           "C:\\x;y,z=1\\!bang.cer"};
    MessageBoxWatcher watcher;
    CCertInstaller installer;

    GenerateKvf(user, user.size(), installer);

    std::vector<std::string> expected = TrustedEntries(Bin());
    ASSERT_EQ(expected.size(), 500u);
    expected.insert(expected.end(), user.begin(), user.end());
    WaitForRuns("install", 1);
    const auto converter = Runs("converter");
    ASSERT_EQ(converter.size(), 1u);
    EXPECT_EQ(converter[0].args, Quoted(expected));
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

// Names the system's ANSI code page cannot carry (o with double acute) reach a
// converter that reads its command line as narrow text, and one that reads it
// as wide text, as paths it can open; names that code page carries go as they are.
TEST_F(GenerateCommandTest, NamesOutsideTheCodePageReachTheConverterOpenable) {
    const std::string foreign = "f\xc5\x91tan\xc3\xbas\xc3\xadtv\xc3\xa1ny";
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    WriteFile(Bin() / "Trusted CAs" / "root1.cer");
    WriteFile(Bin() / "Trusted CAs" / FromAcp(foreign + ".cer"));
    const std::string picked = ToAcp(Parent() / FromAcp(foreign) / FromAcp(foreign + ".cer"));
    const std::string kept = ToAcp(Parent() / FromAcp("caf\xc3\xa9") / "mine.cer");
    WriteFile(FromAcp(picked));
    WriteFile(FromAcp(kept));

    for (const char* wide : {"0", "1"}) {
        SCOPED_TRACE(wide[0] == '1' ? "wide converter" : "narrow converter");
        ScopedEnv mode("ZC_STANDIN_WIDE", wide);
        std::error_code ignored;
        fs::remove(LogPath(), ignored);
        MessageBoxWatcher watcher;
        CCertInstaller installer;

        GenerateKvf({picked, kept}, 2, installer);

        std::vector<std::string> files = TrustedEntries(Bin());
        ASSERT_EQ(files.size(), 2u);
        files.insert(files.end(), {picked, kept});
        EXPECT_EQ(installer.Files(), files);
        WaitForRuns("install", 1);
        const auto converter = Runs("converter");
        ASSERT_EQ(converter.size(), 1u);
        EXPECT_EQ(converter[0].unopened, "");
        const std::string& args = converter[0].args;
        EXPECT_NE(args.find(" \"Trusted CAs\\root1.cer\""), std::string::npos) << args;
        // Both trusted entries stay relative to the converter's folder.
        size_t trusted = 0;
        for (auto at = args.find(" \"Trusted CAs\\"); at != std::string::npos;
             at = args.find(" \"Trusted CAs\\", at + 1)) {
            ++trusted;
        }
        EXPECT_EQ(trusted, 2u) << args;
        EXPECT_NE(args.find(" \"" + kept + "\""), std::string::npos) << args;
        EXPECT_EQ(args.find(foreign), std::string::npos) << args;
        EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
    }
}

// Wherever "Trusted CAs" and the converter lie, beside the program or one folder
// up, every trusted certificate opens from the converter's working folder, and
// the install tool gets the database just written there, never an older one
// beside the program.
TEST_F(GenerateCommandTest, TrustedCertificatesOpenFromWhereTheConverterRuns) {
    struct Case {
        const char* label;
        bool trustedUp, converterUp;
        bool relative; // trusted entries go as "Trusted CAs\..."
    };
    const Case cases[] = {
        {"both one folder up", true, true, true},
        {"trusted beside, converter one up", false, true, false},
        {"trusted one up, converter beside", true, false, false},
    };
    PlaceRegisteredInstallTool();
    const std::string picked = ToAcp(Parent() / "picked" / "mine.cer");
    WriteFile(FromAcp(picked));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const fs::path& folder : {Bin(), Parent()}) {
            for (const char* name : {"cert2kvf.exe", "Trusted CAs", "certs.kvf"}) {
                RemoveTree(folder / name);
            }
        }
        RemoveTree(LogPath());
        const fs::path trusted = c.trustedUp ? Parent() : Bin();
        const fs::path converter = c.converterUp ? Parent() : Bin();
        PlaceStandin("converter", converter / "cert2kvf.exe");
        WriteFile(trusted / "Trusted CAs" / "root1.cer");
        WriteFile(Bin() / "certs.kvf", "older");
        MessageBoxWatcher watcher;
        CCertInstaller installer;

        GenerateKvf({picked}, 1, installer);

        const std::string entry =
            (c.relative ? std::string() : ToAcp(trusted) + '\\') + "Trusted CAs\\root1.cer";
        WaitForRuns("install", 1);
        const auto log = Log();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0].args, Quoted({entry, picked}));
        EXPECT_EQ(log[0].cwd, converter.string());
        EXPECT_EQ(log[0].unopened, "");
        EXPECT_EQ(log[1].args, "\"" + (converter / "certs.kvf").string() + "\"");
        EXPECT_EQ(log[1].database, "database from: " + log[0].args);
        EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
    }
}

// The converter's command line, counted in UTF-16 units with its zero, goes
// whole up to the system's 32,767; one unit more and nothing is started.
TEST_F(GenerateCommandTest, CommandLineUpToTheLimitGoesWholeAndBeyondItNothingStarts) {
    struct Case {
        const char* label;
        size_t over;       // units past the limit
        const char* first; // each name's first character
    };
    // E-acute takes one unit but two bytes in the program's text.
    const Case cases[] = {
        {"at the limit", 0, "\xc3\xa9"},
        {"one past it", 1, "\xc3\xa9"},
        {"one past it in ASCII", 1, "p"},
    };
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    // Two quotes round the program, a space, "certs.kvf" and the zero.
    const size_t fixed = (Bin() / "cert2kvf.exe").wstring().size() + 13;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RemoveTree(Bin() / "Trusted CAs");
        RemoveTree(LogPath());
        // Each entry is ` "Trusted CAs\name"`: 15 units and the name's.
        size_t left = 32767 + c.over - fixed;
        for (int i = 0; left > 0; ++i) {
            const size_t units = left - 15 > 180 ? 150 : left - 15;
            const std::string index = std::to_string(10000 + i).substr(1);
            WriteFile(Bin() / "Trusted CAs" /
                      FromAcp(c.first + index + std::string(units - 9, 'p') + ".cer"));
            left -= 15 + units;
        }
        MessageBoxWatcher watcher;
        CCertInstaller installer;

        GenerateKvf({}, 0, installer);

        if (c.over == 0) {
            ASSERT_EQ(WaitForRuns("install", 1).size(), 1u);
            const auto converter = Runs("converter");
            ASSERT_EQ(converter.size(), 1u);
            EXPECT_EQ(converter[0].args, Quoted(TrustedEntries(Bin())));
            EXPECT_EQ(converter[0].unopened, "");
            EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
        } else {
            EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe failed!"});
            EXPECT_TRUE(NothingStarted());
        }
    }
}

TEST_F(GenerateCommandTest, ConverterThatDoesNotStartStopsEverything) {
    PlaceRegisteredInstallTool();
    MessageBoxWatcher watcher;
    CCertInstaller installer;

    GenerateKvf({"C:\\Certs\\mine.cer"}, 1, installer);

    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe not found!"});
    EXPECT_TRUE(NothingStarted());
}

TEST_F(GenerateCommandTest, EmptyFileSetStartsNothing) {
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    MessageBoxWatcher watcher;
    CCertInstaller installer;
    installer.SetFiles({"kept"});

    GenerateKvf({}, 0, installer);

    EXPECT_EQ(installer.Files(), std::vector<std::string>{"kept"});
    EXPECT_TRUE(NothingStarted());
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

} // namespace
