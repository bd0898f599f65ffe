#include "generation/CertInstaller.h"

#include "SiblingLayout.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// ---- Reading the desktop suite's folder ---------------------------------------

struct RegistryCase {
    const char* label;
    DWORD type;        // 0: key without the value; REG_NONE + 1: no key at all
    std::string bytes; // the value's exact bytes
    std::string expected;
};

constexpr DWORD kKeyOnly = 0;
constexpr DWORD kNoKey = 0xFFFF;

std::string Chars(size_t count, char c = 'p') {
    return std::string(count, c);
}
std::string Z(const std::string& text) {
    return text + '\0';
}
// `count` letters e-acute in the program's text (the registry gets U+00E9).
std::string Utf8E(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += "\xc3\xa9";
    }
    return text;
}

std::vector<RegistryCase> RegistryCases() {
    return {
        {"no key", kNoKey, "", ""},
        {"key without value", kKeyOnly, "", ""},
        {"folder gets a backslash", REG_SZ, Z("C:\\Suite"), "C:\\Suite\\"},
        {"trailing backslash kept", REG_SZ, Z("C:\\Suite\\"), "C:\\Suite\\"},
        {"empty string", REG_SZ, Z(""), ""},
        {"zero bytes", REG_SZ, "", ""},
        {"expandable string taken as written", REG_EXPAND_SZ, Z("C:\\%ProgramFiles%\\Suite"),
         "C:\\%ProgramFiles%\\Suite\\"},
        {"binary up to first zero", REG_BINARY, Z("C:\\Bin") + "tail", "C:\\Bin\\"},
        {"dword bytes as text", REG_DWORD, "C:\\D", "C:\\D\\"},
        // Only a folder that means the same from any current folder.
        {"relative folder", REG_SZ, Z("Suite"), ""},
        {"relative to the drive's current folder", REG_SZ, Z("C:Suite"), ""},
        {"bare drive", REG_SZ, Z("C:"), ""},
        {"relative to the current drive", REG_SZ, Z("\\Suite"), ""},
        {"drive root", REG_SZ, Z("C:\\"), "C:\\"},
        {"network share", REG_SZ, Z("\\\\server\\share"), "\\\\server\\share\\"},
        {"server without a share", REG_SZ, Z("\\\\server\\"), ""},
        // UTF-8 takes two bytes for each of these; the limit counts characters.
        {"259 accented characters fit", REG_SZ, Z("C:\\" + Chars(256, '\xe9')),
         "C:\\" + Utf8E(256) + "\\"},
        {"260 accented characters plus zero are too long", REG_SZ, Z("C:\\" + Chars(257, '\xe9')),
         ""},
        {"259 characters fit", REG_SZ, Z("C:\\" + Chars(256)), "C:\\" + Chars(256) + "\\"},
        {"260 characters plus zero are too long", REG_SZ, Z("C:\\" + Chars(257)), ""},
        {"260 unterminated bytes taken whole", REG_BINARY, "C:\\" + Chars(257),
         "C:\\" + Chars(257) + "\\"},
        {"261 bytes are too long", REG_BINARY, "C:\\" + Chars(258), ""},
    };
}

TEST(CertInstallerRegistry, DesktopPathFollowsTheRegistryValue) {
    for (const RegistryCase& c : RegistryCases()) {
        SCOPED_TRACE(c.label);
        if (c.type == kNoKey) {
            DesktopRegistry::Remove();
        } else if (c.type == kKeyOnly) {
            DesktopRegistry::CreateKeyOnly();
        } else {
            DesktopRegistry::SetValue(c.type, c.bytes);
        }
        const CCertInstaller installer;
        EXPECT_EQ(installer.DesktopPath(), c.expected);
        EXPECT_EQ(installer.StartupError(), 0u);
        EXPECT_TRUE(installer.Files().empty());
    }
    DesktopRegistry::Remove();
}

// Every value type at sizes around the 260-byte buffer, with and without a
// terminating zero: the text is the value's bytes up to the first zero, never
// past the buffer, and a value that does not fit counts as absent.
TEST(CertInstallerRegistry, AnyTypeAndSizeIsReadWithinTheBuffer) {
    for (const RegistryShape& shape : RegistryShapes()) {
        SCOPED_TRACE(shape.label);
        DesktopRegistry::SetValue(shape.type, shape.bytes);
        EXPECT_EQ(CCertInstaller().DesktopPath(), shape.desktopPath);
    }
    DesktopRegistry::Remove();
}

TEST(CertInstallerRegistry, SetFilesReplacesTheWholeSet) {
    CCertInstaller installer;
    EXPECT_TRUE(installer.SetFiles({"a", "b", "a"}));
    EXPECT_EQ(installer.Files(), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_TRUE(installer.SetFiles({"c"}));
    EXPECT_EQ(installer.Files(), std::vector<std::string>{"c"});
}

TEST(CertInstallerMessages, ShowErrorIsAPlainOkBoxWithoutOwner) {
    MessageBoxWatcher watcher;
    CCertInstaller::ShowError(IDS_CONVERTER_MISSING);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "cert2kvf.exe not found!");
    EXPECT_EQ(boxes[0].caption, "Error"); // the platform's default caption
    EXPECT_EQ(boxes[0].buttons, 1);
    EXPECT_FALSE(boxes[0].hasIcon);
}

TEST(CertInstallerMessages, MessageTableHoldsTheProgramTexts) {
    EXPECT_EQ(Message(IDS_ABOUTBOX), "&About ZendryCertificates...");
    EXPECT_EQ(Message(IDS_FIND_TITLE), "Find Certificates");
    EXPECT_EQ(Message(IDS_CERT_FILTER), "Certificate (*.cer)|*.cer|Wexel (*.ple)|*.ple|");
    EXPECT_EQ(Message(IDS_SYNC_TOOL_MISSING), "Zendry Sendora.exe not found!");
    EXPECT_EQ(Message(IDS_DESKTOP_MISSING), "Zendry Desktop not found!");
    EXPECT_EQ(Message(IDS_CONVERTER_MISSING), "cert2kvf.exe not found!");
    EXPECT_EQ(Message(IDS_CONVERTER_FAILED), "cert2kvf.exe failed!");
}

// ---- Starting the converter and the install tool --------------------------------

class CertInstallerLaunch : public SiblingLayout {};

TEST_F(CertInstallerLaunch, ConverterBesideProgramGetsQuotedPathsAndItsFolder) {
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    MessageBoxWatcher watcher;
    CCertInstaller installer;
    installer.SetFiles({"Trusted CAs\\root1.cer", "C:\\My Certs\\mine.cer"});

    EXPECT_TRUE(installer.GenerateDatabase());

    const auto runs = Runs("converter");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, "certs.kvf \"Trusted CAs\\root1.cer\" \"C:\\My Certs\\mine.cer\"");
    EXPECT_EQ(runs[0].cwd, Bin().string());
    EXPECT_EQ(runs[0].exe, (Bin() / "cert2kvf.exe").string());
    // It was waited for: the database is already there.
    EXPECT_TRUE(fs::exists(Bin() / "certs.kvf"));
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

TEST_F(CertInstallerLaunch, ConverterInParentRunsThere) {
    PlaceStandin("converter", Parent() / "cert2kvf.exe");
    MessageBoxWatcher watcher;
    CCertInstaller installer;

    EXPECT_TRUE(installer.GenerateDatabase()); // empty set: the name alone

    const auto runs = Runs("converter");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, "certs.kvf");
    EXPECT_EQ(runs[0].cwd, Parent().string());
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

TEST_F(CertInstallerLaunch, MissingConverterIsReportedOnceAndNeverSearchedElsewhere) {
    // Same-named programs in the current folder and on PATH must not run.
    const fs::path planted = Parent() / "planted";
    PlaceStandin("converter", planted / "cert2kvf.exe");
    ScopedCurrentFolder current(planted);
    ScopedEnv path("PATH", planted.string() + ";C:\\windows\\system32;C:\\windows");
    MessageBoxWatcher watcher;
    CCertInstaller installer;
    installer.SetFiles({"C:\\x.cer"});

    EXPECT_FALSE(installer.GenerateDatabase());

    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe not found!"});
    EXPECT_TRUE(NothingStarted());
}

TEST_F(CertInstallerLaunch, ConverterThatIsNotAProgramIsReported) {
    WriteFile(Bin() / "cert2kvf.exe", "this is not a program");
    MessageBoxWatcher watcher;
    CCertInstaller installer;
    EXPECT_FALSE(installer.GenerateDatabase());
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe failed!"});
}

// Only the database file tells whether the converter did its work: the install
// tool gets it when this run wrote it, and never an older one.
TEST_F(CertInstallerLaunch, InstallToolGetsOnlyADatabaseThisRunWrote) {
    struct Case {
        const char* label;
        const char* write; // ZC_STANDIN_WRITE
        const char* exit;  // ZC_STANDIN_EXIT
        bool earlier;      // a database of the same size is there before
        bool fresh;
    };
    const Case cases[] = {
        {"writes nothing", "0", "0", false, false},
        {"writes nothing over an earlier database", "0", "0", true, false},
        {"rewrites an earlier database of the same size", "1", "0", true, true},
        {"writes it and exits with an error code", "1", "1", false, true},
    };
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    const fs::path suite = Parent() / "Orvix Suite";
    PlaceStandin("install", suite / "Sendora.exe");
    DesktopRegistry::SetValue(REG_SZ, Z(suite.string()));
    const std::string content = "database from: certs.kvf \"C:\\x.cer\"";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::error_code ignored;
        fs::remove(LogPath(), ignored);
        fs::remove(Bin() / "certs.kvf", ignored);
        if (c.earlier) {
            WriteFile(Bin() / "certs.kvf", content);
        }
        ScopedEnv write("ZC_STANDIN_WRITE", c.write);
        ScopedEnv exit("ZC_STANDIN_EXIT", c.exit);
        MessageBoxWatcher watcher;
        CCertInstaller installer;
        installer.SetFiles({"C:\\x.cer"});

        EXPECT_EQ(installer.GenerateDatabase(), c.fresh);
        EXPECT_EQ(installer.Install(), c.fresh);
        // Once only: a second Install has no database of its own.
        EXPECT_FALSE(installer.Install());

        EXPECT_EQ(Runs("converter").size(), 1u);
        if (c.fresh) {
            const auto runs = WaitForRuns("install", 1);
            ASSERT_EQ(runs.size(), 1u);
            EXPECT_EQ(runs[0].exe, (suite / "Sendora.exe").string());
            EXPECT_EQ(runs[0].args, "\"" + (Bin() / "certs.kvf").string() + "\"");
            EXPECT_EQ(runs[0].database, content);
            EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
        } else {
            EXPECT_TRUE(Runs("install").empty());
            EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe failed!"});
        }
    }
}

TEST_F(CertInstallerLaunch, InstallFailuresAreReported) {
    struct Case {
        const char* label;
        bool registered;
        const char* message;
    };
    const Case cases[] = {
        {"suite not registered: nothing started", false, "Zendry Desktop not found!"},
        {"install tool missing from the suite", true, "Zendry Sendora.exe not found!"},
    };
    // A same-named program on PATH or in the current folder must not stand in.
    const fs::path planted = Parent() / "planted";
    PlaceStandin("install", planted / "Sendora.exe");
    ScopedCurrentFolder current(planted);
    ScopedEnv path("PATH", planted.string() + ";C:\\windows\\system32;C:\\windows");
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.registered) {
            DesktopRegistry::SetValue(REG_SZ, Z((Parent() / "Empty Suite").string()));
        } else {
            DesktopRegistry::Remove();
        }
        std::error_code ignored;
        fs::remove(Bin() / "certs.kvf", ignored);
        MessageBoxWatcher watcher;
        CCertInstaller installer;
        ASSERT_TRUE(installer.GenerateDatabase());
        EXPECT_FALSE(installer.Install());
        EXPECT_EQ(watcher.Texts(), std::vector<std::string>{c.message});
    }
    EXPECT_TRUE(NothingStarted("install"));
}

} // namespace
