#include "framework/DllSearch.h"
#include "framework/SystemLibrary.h"

#include "SiblingLayout.h"

#include <gtest/gtest.h>

#include <commdlg.h>

using namespace testing_support;

namespace {

// A DLL with a name no system folder holds, planted beside the executable: the
// default search finds it there, the restricted one must not. The planted DLL
// records every process that loads it (and then refuses to stay loaded).
TEST(DllSearchTest, RestrictedSearchIgnoresDllsBesideTheProgram) {
    const fs::path planted = ExeFolder() / "zc_planted_probe.dll";
    const fs::path marker = ExeFolder().parent_path() / "planted.log";
    std::error_code ignored;
    fs::remove(marker, ignored);
    ASSERT_TRUE(::CopyFileW(StandinPath("planted").replace_extension(".dll").c_str(),
                            planted.c_str(), FALSE));
    ScopedEnv markerEnv("ZC_PLANTED_MARKER", marker.string());

    // Control: the default search order looks beside the executable first.
    ::LoadLibraryA("zc_planted_probe.dll");
    ASSERT_TRUE(fs::exists(marker)) << "the default search did not find the planted DLL";
    fs::remove(marker);

    // The program's own loader takes system DLLs only, restricted or not, and a
    // missing function is a null pointer, not a crash later.
    EXPECT_EQ(LoadSystemLibrary(L"zc_planted_probe.dll"), nullptr);
    EXPECT_FALSE(fs::exists(marker)) << "the program's loader took the planted DLL";
    using Open = decltype(::GetOpenFileNameA);
    EXPECT_NE(SystemFunction<Open>(L"comdlg32.dll", "GetOpenFileNameA"), nullptr);
    EXPECT_EQ(SystemFunction<Open>(L"comdlg32.dll", "NoSuchFunction"), nullptr);

    RestrictDllSearch();
    EXPECT_EQ(::LoadLibraryA("zc_planted_probe.dll"), nullptr);
    EXPECT_FALSE(fs::exists(marker)) << "the planted DLL was loaded after the restriction";
    // System DLLs still load.
    const HMODULE system = ::LoadLibraryA("version.dll");
    EXPECT_NE(system, nullptr);
    if (system != nullptr) {
        ::FreeLibrary(system);
    }

    fs::remove(planted, ignored);
    fs::remove(marker, ignored);
}

} // namespace
