#include "generation/Locator.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class LocatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = ExeFolder() / "locator-tree";
        RemoveTree(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { RemoveTree(m_root); }

    std::string At(const std::string& relative) const { return (m_root / relative).string(); }

    fs::path m_root;
};

struct LocateCase {
    const char* label;
    std::vector<std::string> files; // files to create; a trailing backslash makes a folder
    int levels;
    const char* name;
    bool found;
    const char* folder; // expected folderOut, relative to the tree
};

const char kExe[] = "Tools\\Updater\\updater.exe";

const LocateCase kCases[] = {
    {"beside the executable",
     {"Tools\\Updater\\cert2kvf.exe"},
     2,
     "cert2kvf.exe",
     true,
     "Tools\\Updater"},
    {"in the parent only", {"Tools\\cert2kvf.exe"}, 2, "cert2kvf.exe", true, "Tools"},
    {"beside wins over parent",
     {"Tools\\cert2kvf.exe", "Tools\\Updater\\cert2kvf.exe"},
     2,
     "cert2kvf.exe",
     true,
     "Tools\\Updater"},
    {"nowhere", {}, 2, "cert2kvf.exe", false, "Tools"},
    {"grandparent is never searched", {"cert2kvf.exe"}, 2, "cert2kvf.exe", false, "Tools"},
    {"matches without regard to case",
     {"Tools\\Updater\\CERT2KVF.EXE"},
     2,
     "cert2kvf.exe",
     true,
     "Tools\\Updater"},
    {"a folder counts as found", {"Tools\\certs.kvf\\"}, 2, "certs.kvf", true, "Tools"},
    {"wildcard with one match",
     {"Tools\\Updater\\Trusted CAs\\root.cer"},
     2,
     "Trusted CAs\\*.cer",
     true,
     "Tools\\Updater"},
    {"wildcard in the parent",
     {"Tools\\Trusted CAs\\a.cer", "Tools\\Trusted CAs\\b.cer"},
     2,
     "Trusted CAs\\*.cer",
     true,
     "Tools"},
    {"empty folder does not match",
     {"Tools\\Updater\\Trusted CAs\\"},
     2,
     "Trusted CAs\\*.cer",
     false,
     "Tools"},
    {"no matching entry",
     {"Tools\\Trusted CAs\\readme.txt"},
     2,
     "Trusted CAs\\*.cer",
     false,
     "Tools"},
    {"levels 1 searches once", {"Tools\\cert2kvf.exe"}, 1, "cert2kvf.exe", false, "Tools\\Updater"},
    {"levels 0 searches once", {"Tools\\cert2kvf.exe"}, 0, "cert2kvf.exe", false, "Tools\\Updater"},
    {"negative levels search once",
     {"Tools\\Updater\\cert2kvf.exe"},
     -5,
     "cert2kvf.exe",
     true,
     "Tools\\Updater"},
};

TEST_F(LocatorTest, SearchesTheExecutableFolderThenItsParent) {
    for (const LocateCase& c : kCases) {
        SCOPED_TRACE(c.label);
        RemoveTree(m_root);
        for (const std::string& file : c.files) {
            if (file.back() == '\\') {
                fs::create_directories(m_root / file);
            } else {
                WriteFile(m_root / file);
            }
        }
        std::string folder = "stale";
        EXPECT_EQ(LocateUpwardFrom(At(kExe), c.levels, c.name, folder), c.found);
        EXPECT_EQ(folder, At(c.folder));
    }
}

TEST_F(LocatorTest, PathWithoutUsableBackslashMakesNoSearch) {
    for (const char* exe : {"updater.exe", "\\updater.exe"}) {
        std::string folder = "stale";
        EXPECT_FALSE(LocateUpwardFrom(exe, 2, "updater.exe", folder));
        EXPECT_EQ(folder, exe);
    }
}

TEST_F(LocatorTest, ExecutableInDriveRootSearchesTheRootOnce) {
    const fs::path probe = "C:\\zc-locator-probe.txt";
    WriteFile(probe);
    std::string folder;
    EXPECT_TRUE(LocateUpwardFrom("C:\\updater.exe", 2, "zc-locator-probe.txt", folder));
    EXPECT_EQ(folder, "C:");
    fs::remove(probe);

    EXPECT_FALSE(LocateUpwardFrom("C:\\updater.exe", 2, "zc-locator-probe.txt", folder));
    EXPECT_EQ(folder, "C:");
}

TEST_F(LocatorTest, PathsLongerThanMaxPathAreSearchedWhole) {
    fs::path deep = m_root;
    while (deep.string().size() < 300) {
        deep /= "a-rather-long-folder-name";
    }
    WriteFile(deep / "cert2kvf.exe");
    const std::string exe = (deep / "Updater" / "updater.exe").string();
    ASSERT_GT(exe.size(), 300u);

    std::string folder;
    EXPECT_TRUE(LocateUpwardFrom(exe, 2, "cert2kvf.exe", folder));
    EXPECT_EQ(folder, deep.string());
}

TEST_F(LocatorTest, LocateUpwardStartsFromTheRunningExecutable) {
    WriteFile(ExeFolder() / "zc-probe.txt");
    std::string folder;
    EXPECT_TRUE(LocateUpward(2, "zc-probe.txt", folder));
    EXPECT_EQ(folder, ExeFolder().string());
    fs::remove(ExeFolder() / "zc-probe.txt");

    EXPECT_FALSE(LocateUpward(2, "zc-probe.txt", folder));
    EXPECT_EQ(folder, ExeFolder().parent_path().string());
}

} // namespace
