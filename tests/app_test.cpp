// Starts the built program as a process of its own and drives its window from
// here with real window messages, the way a user's clicks and keys reach it.
#include "ProgramWindow.h"
#include "SiblingLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;
using namespace program_window;

namespace {

// A first start of a program in a fresh prefix can take Wine a while.
constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kPickerCloseMs = 10000;

void PostKey(HWND hwnd, UINT key, UINT scanCode) {
    ::PostMessageW(hwnd, WM_KEYDOWN, key, 1 | (scanCode << 16));
    ::PostMessageW(hwnd, WM_KEYUP, key, 1 | (scanCode << 16) | 0xC0000000u);
}

// "certs.kvf" and every file in double quotes, as the converter is handed them.
std::string ConverterArguments(const std::vector<std::string>& files) {
    std::string args = "certs.kvf";
    for (const std::string& file : files) {
        args += " \"" + file + "\"";
    }
    return args;
}

class AppTest : public SiblingLayout {
protected:
    void SetUp() override {
        SiblingLayout::SetUp();
        // The program looks for its companions beside itself: run a copy in the
        // folders this suite lays out.
        ASSERT_TRUE(fs::exists(BuiltProgram())) << BuiltProgram();
        fs::copy_file(BuiltProgram(), Program(), fs::copy_options::overwrite_existing);
        fs::create_directories(StartFolder());
    }

    void TearDown() override {
        m_watcher.reset();
        // A test that failed half-way must not leave the program (or a picker) behind.
        EndProcess();
        SiblingLayout::TearDown();
    }

    // Ends the program if it still runs and lets go of it.
    void EndProcess() {
        if (m_info.hProcess == nullptr) {
            return;
        }
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_info.hProcess, 99);
            ::WaitForSingleObject(m_info.hProcess, 10000);
        }
        ::CloseHandle(m_info.hProcess);
        if (m_info.hThread != nullptr) {
            ::CloseHandle(m_info.hThread);
        }
        m_info = {};
    }

    // Test executables live in <build>/tests/<suite>/bin, the program in <build>/bin.
    static fs::path BuiltProgram() {
        return ExeFolder().parent_path().parent_path().parent_path() / "bin" /
               "ZendryCertificates.exe";
    }
    static fs::path Program() { return Bin() / "ZendryCertificates.exe"; }
    // Neither beside the program nor one folder up: the program must not rely on
    // the folder it was started in.
    static fs::path StartFolder() { return Parent() / "started-here"; }

    // Starts the program and waits for its main window.
    void Start() { Start(Program(), StartFolder()); }
    void Start(const fs::path& program, const fs::path& startFolder) {
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, startFolder.c_str(), &startup, &m_info)) {
            const DWORD error = ::GetLastError();
            ASSERT_TRUE(program.wstring().size() > MAX_PATH && SpawnThroughWineLoader(program))
                << "CreateProcess failed: " << error;
        }
        const bool shown = WaitFor(
            [&] {
                m_window = m_info.hProcess != nullptr ? FindDialog(m_info.dwProcessId, kMainCaption)
                                                      : AdoptSpawnedProgram(program);
                return m_window != nullptr || (m_info.hProcess != nullptr && Exited());
            },
            kWindowWaitMs);
        ASSERT_TRUE(shown && m_window != nullptr)
            << "no main window; the program " << (Exited() ? "ended" : "still runs");
        // Unexpected message boxes of the program are closed and remembered.
        m_watcher = std::make_unique<MessageBoxWatcher>(
            m_info.dwThreadId,
            std::vector<std::string>{"Zendry Certificate Authority Updater", "Find Certificates"});
    }

    // Wine's CreateProcess stops at MAX_PATH, its loader started as a Unix program
    // does not. The loader gets the stand-ins' log by its Unix environment.
    static bool SpawnThroughWineLoader(const fs::path& program) {
        using UnixName = char*(CDECL*)(const wchar_t*);
        using Spawn = LONG(WINAPI*)(char* const*, int);
        const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll"), "__wine_unix_spawnvp")));
        char loader[1024] = {};
        if (unixName == nullptr || spawn == nullptr ||
            ::GetEnvironmentVariableA("WINELOADER", loader, sizeof loader) == 0) {
            return false;
        }
        char* const unixProgram = unixName(program.c_str());
        if (unixProgram == nullptr) {
            return false;
        }
        std::string env = "/usr/bin/env";
        std::string log = "ZC_STANDIN_LOG=" + LogPath().string();
        char* const argv[] = {env.data(), log.data(), loader, unixProgram, nullptr};
        const bool spawned = spawn(argv, 0) == 0;
        ::HeapFree(::GetProcessHeap(), 0, unixProgram);
        return spawned;
    }

    // The main window of a program started without a process handle: found by its
    // caption and the file it runs from.
    HWND AdoptSpawnedProgram(const fs::path& program) {
        for (HWND hwnd = nullptr;
             (hwnd = ::FindWindowExW(nullptr, hwnd, L"#32770", kMainCaption));) {
            DWORD pid = 0;
            const DWORD thread = ::GetWindowThreadProcessId(hwnd, &pid);
            HANDLE process = ::OpenProcess(
                SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            if (process == nullptr) {
                continue;
            }
            std::wstring image(32768, L'\0');
            DWORD size = static_cast<DWORD>(image.size());
            const bool same = ::QueryFullProcessImageNameW(process, 0, image.data(), &size) &&
                              _wcsicmp(image.c_str(), program.c_str()) == 0;
            if (same && ::IsWindowVisible(hwnd)) {
                m_info.hProcess = process;
                m_info.dwProcessId = pid;
                m_info.dwThreadId = thread;
                return hwnd;
            }
            ::CloseHandle(process);
        }
        return nullptr;
    }

    bool Exited() const { return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0; }

    // Waits for the process to end; its exit code, or -1 when it did not end.
    long WaitForExit(DWORD timeoutMs = 15000) const {
        if (::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<long>(code);
    }

    HWND Item(int id) const { return ::GetDlgItem(m_window, id); }

    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> lines;
        const HWND list = Item(kCertList);
        const LRESULT count = Send(list, LB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
            std::wstring line(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
            const LRESULT copied =
                Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
            line.resize(copied > 0 ? ::wcsnlen(line.c_str(), line.size()) : 0);
            lines.push_back(line);
        }
        return lines;
    }

    LRESULT Selection() const { return Send(Item(kCertList), LB_GETCURSEL); }

    HWND WaitForPicker() const {
        HWND picker = nullptr;
        WaitFor(
            [&] {
                picker = FindDialog(m_info.dwProcessId, kPickerCaption);
                return picker != nullptr;
            },
            kWindowWaitMs);
        return picker;
    }

    // Clicks Add; the picker is modal, so the click is posted.
    HWND OpenPicker() const {
        ::PostMessageW(Item(kAdd), BM_CLICK, 0, 0);
        return WaitForPicker();
    }

    // Types `path` into the picker's file-name box and presses Open.
    void Pick(const std::wstring& path) const {
        const HWND picker = OpenPicker();
        ASSERT_NE(picker, nullptr) << "Add opened no \"Find Certificates\" picker";
        const HWND nameBox = PickerNameBox(picker);
        ASSERT_NE(nameBox, nullptr);
        ASSERT_EQ(Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())), TRUE);
        ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(picker); }, kPickerCloseMs))
            << "the picker did not take " << fs::path(path).string();
    }

    void Pick(const fs::path& path) const { Pick(path.wstring()); }

    // Generate's command as a click sends it, also while the button is disabled.
    void SendGenerateCommand() const {
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(kGenerate, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(kGenerate)));
    }

    // Clicks Generate (posted: the program waits for the converter meanwhile) and
    // waits for the install tool to be started and the window to be back.
    void Generate() {
        ::PostMessageW(Item(kGenerate), BM_CLICK, 0, 0);
        ASSERT_EQ(WaitForRuns("install", 1).size(), 1u) << "the install tool was not started";
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_window) != FALSE; }))
            << "the window stayed disabled after Generate";
    }

    // Converter beside the program with a trusted root, install tool in a suite
    // folder the registry names. The program reads the registry once, at start.
    static void LayOutCompanions() {
        PlaceStandin("converter", Bin() / "cert2kvf.exe");
        WriteFile(Bin() / "Trusted CAs" / "root1.cer");
        PlaceStandin("install", Parent() / "Suite" / "Sendora.exe");
        DesktopRegistry::SetValue(REG_SZ, (Parent() / "Suite").string() + '\0');
    }

    // Closes the program with Cancel and forgets it, so the next Start() is fresh.
    void Stop() {
        if (m_info.hProcess != nullptr) {
            ::PostMessageW(m_window, WM_COMMAND, IDCANCEL, 0);
            WaitForExit();
        }
        EndProcess();
        m_watcher.reset();
        m_window = nullptr;
    }

    std::vector<std::string> BoxTexts() const {
        return m_watcher ? m_watcher->Texts() : std::vector<std::string>{};
    }

    PROCESS_INFORMATION m_info{};
    HWND m_window = nullptr;
    std::unique_ptr<MessageBoxWatcher> m_watcher;
};

// ---------------------------------------------------------------------------
// Every way of closing the window ends the program normally.

struct CloseCase {
    const char* name;
    void (*close)(HWND window, DWORD threadId);
};

HWND FocusedControl(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

const CloseCase kCloseCases[] = {
    {"CancelButton",
     [](HWND window, DWORD) { ::PostMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0); }},
    {"EscapeOnFocusedControl",
     [](HWND, DWORD threadId) { PostKey(FocusedControl(threadId), VK_ESCAPE, 0x01); }},
    {"EscapeInList",
     [](HWND window, DWORD) { PostKey(::GetDlgItem(window, kCertList), VK_ESCAPE, 0x01); }},
    {"EscapeOnDialog", [](HWND window, DWORD) { PostKey(window, VK_ESCAPE, 0x01); }},
    {"CloseBox", [](HWND window, DWORD) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"WmClose", [](HWND window, DWORD) { ::PostMessageW(window, WM_CLOSE, 0, 0); }},
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class AppCloseTest : public AppTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(AppCloseTest, EndsTheProgramWithExitCodeZero) {
    LayOutCompanions();
    ASSERT_NO_FATAL_FAILURE(Start());
    // Still running on its own: it is the close that ends it.
    ASSERT_EQ(::WaitForSingleObject(m_info.hProcess, 500), static_cast<DWORD>(WAIT_TIMEOUT));

    GetParam().close(m_window, m_info.dwThreadId);

    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_FALSE(::IsWindow(m_window));
    EXPECT_TRUE(Log().empty()) << "closing started a companion program";
}

INSTANTIATE_TEST_SUITE_P(Ways, AppCloseTest, ::testing::ValuesIn(kCloseCases),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------

TEST_F(AppTest, FreshStartShowsAnEmptyListWithOnlyAddAndCancelUsable) {
    LayOutCompanions();
    ASSERT_NO_FATAL_FAILURE(Start());

    EXPECT_EQ(WindowText(m_window), kMainCaption);
    EXPECT_TRUE(::IsWindowEnabled(m_window));
    EXPECT_EQ(Send(Item(kCertList), LB_GETCOUNT), 0);
    EXPECT_EQ(Selection(), LB_ERR);

    struct ButtonCase {
        int id;
        const wchar_t* caption;
        bool enabled;
    };
    const ButtonCase buttons[] = {
        {IDCANCEL, L"Cancel", true},
        {kAdd, L"Add...", true},
        {kRemove, L"Remove", false},
        {kGenerate, L"Generate KVF", false},
    };
    for (const ButtonCase& button : buttons) {
        SCOPED_TRACE(fs::path(button.caption).string());
        const HWND hwnd = Item(button.id);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(WindowText(hwnd), button.caption);
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        EXPECT_EQ(::IsWindowEnabled(hwnd) != FALSE, button.enabled);
    }
    // Merely showing the window runs nothing and reports nothing.
    EXPECT_TRUE(NothingStarted());
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(AppTest, PickerOpensInDriveRootWithTheCertificateFilters) {
    LayOutCompanions();
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr) << "Add opened no \"Find Certificates\" picker";
    EXPECT_FALSE(::IsWindowEnabled(m_window)) << "the picker is not modal";

    std::vector<std::wstring> types;
    const HWND typeBox = ::GetDlgItem(picker, kPickerTypeCombo);
    ASSERT_NE(typeBox, nullptr);
    const LRESULT count = Send(typeBox, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(
                              Send(typeBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(i)), 0)) +
                              1,
                          L'\0');
        Send(typeBox, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(::wcsnlen(text.c_str(), text.size()));
        types.push_back(text);
    }
    EXPECT_EQ(types, (std::vector<std::wstring>{L"Certificate (*.cer)", L"Wexel (*.ple)"}));

    // A bare name resolves in the picker's current folder, which must be C:\ even
    // though the program was started elsewhere.
    const HWND nameBox = PickerNameBox(picker);
    ASSERT_NE(nameBox, nullptr);
    const std::wstring name = L"zc-app-test-" + std::to_wstring(::GetCurrentProcessId()) + L".cer";
    const fs::path inRoot = fs::path(L"C:\\") / name;
    WriteFile(inRoot);
    struct RemoveAfterwards {
        fs::path path;
        ~RemoveAfterwards() { RemoveTree(path); }
    } cleanup{inRoot};
    ASSERT_EQ(Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str())), TRUE);
    ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(picker); }, kPickerCloseMs))
        << "the picker did not find the name in C:\\";
    EXPECT_EQ(Lines(), std::vector<std::wstring>{name});

    ASSERT_NO_FATAL_FAILURE(Generate());
    const auto converter = Runs("converter");
    ASSERT_EQ(converter.size(), 1u);
    EXPECT_EQ(converter[0].args, ConverterArguments({"Trusted CAs\\root1.cer", inRoot.string()}));
}

TEST_F(AppTest, CancelledPickerAddsNothing) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    const HWND nameBox = PickerNameBox(picker);
    ASSERT_NE(nameBox, nullptr);
    // A typed name that is never confirmed must not reach the list.
    WriteFile(Parent() / "typed.cer");
    Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((Parent() / "typed.cer").c_str()));
    ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(picker); }, kPickerCloseMs));

    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_window) != FALSE; }));
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(::IsWindowEnabled(Item(kRemove)));
    EXPECT_FALSE(::IsWindowEnabled(Item(kGenerate)));
    EXPECT_EQ(::WaitForSingleObject(m_info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(AppTest, PickedCertificatesGoThroughConverterAndInstallTool) {
    LayOutCompanions();
    const fs::path first = Parent() / "My Certs" / "first cert.cer";
    const fs::path second = Parent() / "picked" / "second.cer";
    WriteFile(first);
    WriteFile(second);
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_NO_FATAL_FAILURE(Pick(first));
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"first cert.cer"});
    EXPECT_EQ(Selection(), 0);
    EXPECT_TRUE(::IsWindowEnabled(Item(kRemove)));
    EXPECT_TRUE(::IsWindowEnabled(Item(kGenerate)));

    ASSERT_NO_FATAL_FAILURE(Pick(second));
    const std::vector<std::wstring> lines = {L"first cert.cer", L"second.cer"};
    EXPECT_EQ(Lines(), lines);
    EXPECT_EQ(Selection(), 1);

    ASSERT_NO_FATAL_FAILURE(Generate());

    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    const std::string converterArgs =
        ConverterArguments({"Trusted CAs\\root1.cer", first.string(), second.string()});
    EXPECT_EQ(log[0].role, "converter");
    EXPECT_EQ(log[0].exe, (Bin() / "cert2kvf.exe").string());
    EXPECT_EQ(log[0].args, converterArgs);
    EXPECT_EQ(log[0].cwd, Bin().string());
    EXPECT_EQ(log[1].role, "install");
    EXPECT_EQ(log[1].exe, (Parent() / "Suite" / "Sendora.exe").string());
    EXPECT_EQ(log[1].args, "\"" + (Bin() / "certs.kvf").string() + "\"");
    // The install tool found the converter's finished database.
    EXPECT_EQ(log[1].database, "database from: " + converterArgs);
    EXPECT_TRUE(BoxTexts().empty());

    // The window is as it was and still answers.
    EXPECT_EQ(Lines(), lines);
    EXPECT_TRUE(::IsWindowEnabled(Item(kRemove)));
    EXPECT_TRUE(::IsWindowEnabled(Item(kGenerate)));
    EXPECT_TRUE(::IsWindowEnabled(Item(kAdd)));
    ::PostMessageW(Item(IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForExit(), 0);
}

TEST_F(AppTest, RemoveDropsTheSelectedCertificateFromListAndConverter) {
    LayOutCompanions();
    const fs::path dropped = Parent() / "certs" / "drop.cer";
    const fs::path kept = Parent() / "certs" / "keep.cer";
    WriteFile(dropped);
    WriteFile(kept);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Pick(dropped));
    ASSERT_NO_FATAL_FAILURE(Pick(kept));

    // The first line: the paths after it must move up with the list box lines.
    ASSERT_EQ(Send(Item(kCertList), LB_SETCURSEL, 0), 0);
    ::PostMessageW(Item(kRemove), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Send(Item(kCertList), LB_GETCOUNT) == 1; }));
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"keep.cer"});
    EXPECT_EQ(Selection(), LB_ERR);
    EXPECT_TRUE(::IsWindowEnabled(Item(kRemove)));
    EXPECT_TRUE(::IsWindowEnabled(Item(kGenerate)));

    ASSERT_NO_FATAL_FAILURE(Generate());
    const auto converter = Runs("converter");
    ASSERT_EQ(converter.size(), 1u);
    EXPECT_EQ(converter[0].args, ConverterArguments({"Trusted CAs\\root1.cer", kept.string()}));

    // Removing the last line leaves only Add.
    ASSERT_EQ(Send(Item(kCertList), LB_SETCURSEL, 0), 0);
    ::PostMessageW(Item(kRemove), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Send(Item(kCertList), LB_GETCOUNT) == 0; }));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowEnabled(Item(kRemove)); }));
    EXPECT_FALSE(::IsWindowEnabled(Item(kGenerate)));
    EXPECT_TRUE(::IsWindowEnabled(Item(kAdd)));
    EXPECT_TRUE(BoxTexts().empty());
}

// ---------------------------------------------------------------------------
// Wherever the program itself lies - a drive root, one or two folders deep, or
// beyond MAX_PATH - Generate finds its companions beside it or one folder up
// and hands the converter and the install tool the right paths.

// What Generate comes to.
enum class Outcome {
    Runs,    // converter and install tool start with the expected paths
    Missing, // "cert2kvf.exe not found!" and nothing starts
    Failed,  // located, but the system cannot start a program there:
             // "cert2kvf.exe failed!" and nothing starts
};

struct PlacementCase {
    const char* name;
    bool longBase;         // under a folder path longer than MAX_PATH, not on drive C:
    const char* program;   // folders below the base: the program's,
    const char* converter; // the converter's (none: no converter at all)
    const char* trusted;   // and the one holding "Trusted CAs"
    Outcome outcome;
    bool picks = true; // a certificate is picked first (Wine then leaves the current folder in C:)
};

const PlacementCase kPlacements[] = {
    {"DriveRoot", false, "", "", "", Outcome::Runs},
    {"OneDeep", false, "Zendry", "Zendry", "Zendry", Outcome::Runs},
    {"OneDeepCompanionsInDriveRoot", false, "Zendry", "", "", Outcome::Runs},
    {"TwoDeep", false, "Zendry\\Updater", "Zendry\\Updater", "Zendry\\Updater", Outcome::Runs},
    {"TwoDeepCompanionsOneUp", false, "Zendry\\Updater", "Zendry", "Zendry", Outcome::Runs},
    {"TwoDeepConverterInDriveRoot", false, "Zendry\\Updater", "", "Zendry\\Updater",
     Outcome::Missing},
    // A folder name the system's ANSI code page cannot carry (o with double
    // acute): the narrow stand-ins must still open what they are handed.
    {"ForeignFolderName", false, "Zendry\\Upd\xc5\x91ter", "Zendry\\Upd\xc5\x91ter",
     "Zendry\\Upd\xc5\x91ter", Outcome::Runs},
    // Process creation stops at MAX_PATH (the working folder above all), though
    // the converter and the trusted roots were located.
    {"BeyondMaxPath", true, "", "", "", Outcome::Failed},
    {"BeyondMaxPathCompanionsOneUp", true, "Updater", "", "", Outcome::Failed},
    {"BeyondMaxPathNoConverter", true, "", nullptr, "", Outcome::Missing},
    // Still started from C:\zc-started-here: a bare "C:" would name that folder.
    {"CompanionsInDriveRootNothingPicked", false, "Updater", "", "", Outcome::Runs, false},
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class AppPlacementTest : public AppTest, public ::testing::WithParamInterface<PlacementCase> {
protected:
    void TearDown() override {
        AppTest::TearDown();
        for (const fs::path& made : m_made) {
            RemoveTree(made);
        }
    }

    fs::path Base() const {
        if (!GetParam().longBase) {
            return L"C:\\";
        }
        fs::path base = Parent() / "long";
        while (base.wstring().size() <= MAX_PATH) {
            base /= std::wstring(60, L'p');
        }
        return base;
    }
    // The base itself for an empty name: appending "" would add a separator.
    fs::path Under(const char* folder) const { return *folder ? Base() / FromAcp(folder) : Base(); }
    // Drive-root entries are not inside the suite's folders: remember them.
    void Made(const fs::path& path) {
        if (!GetParam().longBase) {
            m_made.push_back(path);
        }
    }

    std::vector<fs::path> m_made;
};

TEST_P(AppPlacementTest, GenerateFindsTheCompanionsFromWhereTheProgramLies) {
    const PlacementCase& placement = GetParam();
    Made(L"C:\\Zendry");
    Made(L"C:\\ZendryCertificates.exe");
    Made(L"C:\\cert2kvf.exe");
    Made(L"C:\\Trusted CAs");
    Made(L"C:\\certs.kvf");
    // Started from a folder of the same drive: a bare "C:" would name this one.
    const fs::path startFolder = L"C:\\zc-started-here";
    Made(startFolder);
    fs::create_directories(startFolder);

    const fs::path program = Under(placement.program) / "ZendryCertificates.exe";
    fs::create_directories(program.parent_path());
    fs::copy_file(BuiltProgram(), program, fs::copy_options::overwrite_existing);
    const fs::path converterFolder = Under(placement.converter ? placement.converter : "");
    if (placement.converter != nullptr) {
        PlaceStandin("converter", converterFolder / "cert2kvf.exe");
    }
    WriteFile(Under(placement.trusted) / "Trusted CAs" / "root1.cer");
    const fs::path picked = Parent() / "picked" / "mine.cer";
    WriteFile(picked);
    PlaceRegisteredInstallTool();

    ASSERT_NO_FATAL_FAILURE(Start(program, startFolder));
    std::vector<std::string> files = {"Trusted CAs\\root1.cer"};
    if (placement.picks) {
        ASSERT_NO_FATAL_FAILURE(Pick(picked));
        files.push_back(picked.string());
        ::PostMessageW(Item(kGenerate), BM_CLICK, 0, 0);
    } else {
        SendGenerateCommand();
    }

    if (placement.outcome != Outcome::Runs) {
        const char* const message = placement.outcome == Outcome::Missing
                                        ? "cert2kvf.exe not found!"
                                        : "cert2kvf.exe failed!";
        EXPECT_TRUE(WaitFor([&] { return !BoxTexts().empty(); }));
        EXPECT_TRUE(NothingStarted()) << "started " << Log().front().exe;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{message});
    } else {
        ASSERT_EQ(WaitForRuns("install", 1).size(), 1u)
            << "the install tool was not started; messages: "
            << ::testing::PrintToString(BoxTexts());
        const auto log = Log();
        ASSERT_EQ(log.size(), 2u);
        const std::string converterArgs = ConverterArguments(files);
        EXPECT_EQ(log[0].exe, ToAcp(converterFolder / "cert2kvf.exe"));
        EXPECT_EQ(log[0].cwd, ToAcp(converterFolder));
        EXPECT_EQ(log[0].args, converterArgs);
        EXPECT_EQ(log[0].unopened, "");
        // The database in the converter's folder, named so that the narrow
        // install tool opened it (in short form where it had to be).
        const std::string& quoted = log[1].args;
        ASSERT_GE(quoted.size(), 2u);
        EXPECT_EQ(quoted.front(), '"');
        EXPECT_EQ(quoted.back(), '"');
        std::wstring named(32768, L'\0');
        named.resize(::GetLongPathNameW(FromAcp(quoted.substr(1, quoted.size() - 2)).c_str(),
                                        named.data(), static_cast<DWORD>(named.size())));
        EXPECT_EQ(named, (converterFolder / "certs.kvf").wstring()) << quoted;
        EXPECT_EQ(log[1].database, "database from: " + converterArgs);
        EXPECT_TRUE(BoxTexts().empty());
        // Both hidden; the install tool after a pause that follows the converter's end.
        EXPECT_EQ(log[0].show, std::to_string(SW_HIDE));
        EXPECT_EQ(log[1].show, std::to_string(SW_HIDE));
        EXPECT_GE(log[1].created, log[0].ended + 100 * 10000); // 100 ms
    }
    // Whatever came of it, the window is back and answers.
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_window) != FALSE; }));
    EXPECT_EQ(Lines(), placement.picks ? std::vector<std::wstring>{L"mine.cer"}
                                       : std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(Placements, AppPlacementTest, ::testing::ValuesIn(kPlacements),
                         [](const ::testing::TestParamInfo<PlacementCase>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------
// The registry value in every shape, through the real program: where its
// Generate starts the install tool, or which message it shows instead.

struct RegistryRun {
    std::string label;
    DWORD type; // 0: no key at all
    std::string bytes;
    const char* message; // expected message; none: the tool in the suite folder starts
};

std::vector<RegistryRun> RegistryRuns(const std::string& suite) {
    const char* const noSuite = "Zendry Desktop not found!";
    const char* const noTool = "Zendry Sendora.exe not found!";
    std::vector<RegistryRun> runs = {
        {"no key", 0, "", noSuite},
        {"string", REG_SZ, suite + '\0', nullptr},
        {"string with backslash", REG_SZ, suite + "\\" + '\0', nullptr},
        {"expandable string", REG_EXPAND_SZ, suite + '\0', nullptr},
        {"multi-string", REG_MULTI_SZ, suite + '\0' + "other" + '\0' + '\0', nullptr},
        {"binary without zero", REG_BINARY, suite, nullptr},
    };
    // Around the 260-byte buffer, for every type: no text counts as no suite; any
    // other text names a folder without the install tool.
    for (const RegistryShape& shape : RegistryShapes()) {
        runs.push_back(
            {shape.label, shape.type, shape.bytes, shape.desktopPath.empty() ? noSuite : noTool});
    }
    return runs;
}

TEST_F(AppTest, RegistryValueDecidesWhereTheInstallToolIsLookedFor) {
    LayOutCompanions();
    const std::string suite = (Parent() / "Suite").string();
    for (const RegistryRun& run : RegistryRuns(suite)) {
        SCOPED_TRACE(run.label);
        if (run.type == 0) {
            DesktopRegistry::Remove();
        } else {
            DesktopRegistry::SetValue(run.type, run.bytes);
        }
        std::error_code ignored;
        fs::remove(LogPath(), ignored);

        ASSERT_NO_FATAL_FAILURE(Start());
        SendGenerateCommand();
        EXPECT_TRUE(WaitFor([&] { return !Runs("install").empty() || !BoxTexts().empty(); }))
            << "neither the install tool nor a message";
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_window) != FALSE; }));
        const auto installs = Runs("install");
        if (run.message == nullptr) {
            ASSERT_EQ(installs.size(), 1u);
            EXPECT_EQ(installs[0].exe, suite + "\\Sendora.exe");
            EXPECT_TRUE(BoxTexts().empty());
        } else {
            EXPECT_TRUE(installs.empty());
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{run.message});
        }
        EXPECT_EQ(Runs("converter").size(), 1u);
        Stop();
    }
}

} // namespace
