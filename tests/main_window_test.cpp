#include "MainWindowHost.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

using MainWindowTest = MainWindowHost;

TEST_F(MainWindowTest, FreshStartShowsAnEmptyListReadyForAdd) {
    RunWindow([](DialogDriver& d, const CCertUpdaterDlg&) {
        EXPECT_TRUE(d.ListLines(IDC_CERT_LIST).empty());
        EXPECT_TRUE(d.Enabled(IDC_ADD));
        EXPECT_FALSE(d.Enabled(IDC_REMOVE));
        EXPECT_FALSE(d.Enabled(IDC_GENERATE));
        EXPECT_TRUE(d.Enabled(IDCANCEL));
        const LRESULT def = ::SendMessageA(d.Dialog(), DM_GETDEFID, 0, 0);
        EXPECT_EQ(HIWORD(def), DC_HASDEFID);
        EXPECT_EQ(LOWORD(def), IDC_ADD);
        EXPECT_EQ(d.Focus(), d.Item(IDCANCEL));
    });
}

TEST_F(MainWindowTest, WindowCarriesTheApplicationIconAndIsCentred) {
    RunWindow([](DialogDriver& d, const CCertUpdaterDlg&) {
        const HICON icon =
            ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        ASSERT_NE(icon, nullptr);
        const auto query = [&](UINT message, WPARAM which) {
            return reinterpret_cast<HICON>(::SendMessageA(d.Dialog(), message, which, 0));
        };
        EXPECT_EQ(query(WM_GETICON, ICON_BIG), icon);
        EXPECT_EQ(query(WM_GETICON, ICON_SMALL), icon);
        EXPECT_EQ(query(WM_QUERYDRAGICON, 0), icon);

        RECT window{};
        ::GetWindowRect(d.Dialog(), &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoA(::MonitorFromWindow(d.Dialog(), MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 2);
        EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 2);
        EXPECT_EQ(::GetWindow(d.Dialog(), GW_OWNER), nullptr);
    });
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutEntry) {
    RunWindow([](DialogDriver& d, const CCertUpdaterDlg&) {
        const HMENU menu = ::GetSystemMenu(d.Dialog(), FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));
        char text[128] = {};
        ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "&About ZendryCertificates...");
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    });
}

TEST_F(MainWindowTest, AddPutsTheNameInTheListAndThePathBesideIt) {
    const std::string mine = Cert("My Certs\\mine.cer");
    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg& dlg) {
        Add(d, mine);
        EXPECT_EQ(d.ListLines(IDC_CERT_LIST), std::vector<std::string>{"mine.cer"});
        EXPECT_EQ(dlg.CertPaths(), std::vector<std::string>{mine});
        EXPECT_EQ(d.ListSelection(IDC_CERT_LIST), 0);
        EXPECT_TRUE(d.Enabled(IDC_REMOVE));
        EXPECT_TRUE(d.Enabled(IDC_GENERATE));

        // The same file again is a second entry, and the new line is selected.
        Add(d, mine);
        EXPECT_EQ(d.ListLines(IDC_CERT_LIST), (std::vector<std::string>{"mine.cer", "mine.cer"}));
        EXPECT_EQ(dlg.CertPaths(), (std::vector<std::string>{mine, mine}));
        EXPECT_EQ(d.ListSelection(IDC_CERT_LIST), 1);
    });
}

TEST_F(MainWindowTest, CancellingThePickerChangesNothing) {
    const std::string mine = Cert("mine.cer");
    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg& dlg) {
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round == 0 ? "empty list" : "one entry");
            const auto lines = d.ListLines(IDC_CERT_LIST);
            const auto paths = dlg.CertPaths();
            const bool removable = d.Enabled(IDC_REMOVE);
            d.PostClick(IDC_ADD);
            ASSERT_TRUE(DialogDriver::CancelPicker(kPickerCaption));
            EXPECT_EQ(d.ListLines(IDC_CERT_LIST), lines);
            EXPECT_EQ(dlg.CertPaths(), paths);
            EXPECT_EQ(d.Enabled(IDC_REMOVE), removable);
            EXPECT_EQ(d.Enabled(IDC_GENERATE), removable);
            Add(d, mine);
        }
    });
}

TEST_F(MainWindowTest, RemoveTakesTheSelectedLineAndThePathAtTheSameIndex) {
    const std::string first = Cert("A\\mine.cer");
    const std::string second = Cert("B\\mine.cer");
    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg& dlg) {
        Add(d, first);
        Add(d, second);
        d.SelectLine(IDC_CERT_LIST, 0);
        d.Click(IDC_REMOVE);
        EXPECT_EQ(d.ListLines(IDC_CERT_LIST), std::vector<std::string>{"mine.cer"});
        EXPECT_EQ(dlg.CertPaths(), std::vector<std::string>{second});
        EXPECT_EQ(d.ListSelection(IDC_CERT_LIST), LB_ERR);
        EXPECT_TRUE(d.Enabled(IDC_REMOVE));
        EXPECT_TRUE(d.Enabled(IDC_GENERATE));

        // Nothing selected: Remove leaves everything as it is.
        d.Click(IDC_REMOVE);
        EXPECT_EQ(dlg.CertPaths(), std::vector<std::string>{second});
        EXPECT_EQ(d.ListLines(IDC_CERT_LIST).size(), 1u);
        EXPECT_TRUE(d.Enabled(IDC_REMOVE));

        // Removing the last entry empties both and disables Remove and Generate,
        // without leaving the focus on a disabled button.
        d.SelectLine(IDC_CERT_LIST, 0);
        ::SendMessageA(d.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.Item(IDC_REMOVE)),
                       TRUE);
        d.Click(IDC_REMOVE);
        EXPECT_TRUE(d.ListLines(IDC_CERT_LIST).empty());
        EXPECT_TRUE(dlg.CertPaths().empty());
        EXPECT_FALSE(d.Enabled(IDC_REMOVE));
        EXPECT_FALSE(d.Enabled(IDC_GENERATE));
        EXPECT_EQ(d.Focus(), d.Item(IDC_ADD));
    });
}

TEST_F(MainWindowTest, AboutCommandsOpenTheAboutBoxModally) {
    struct Case {
        UINT command;
        bool byEscape;
    };
    const Case cases[] = {{0x0010, false}, {0x0013, true}, {0x001F, false}};
    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg&) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.command);
            ::PostMessageA(d.Dialog(), WM_SYSCOMMAND, c.command, 0);
            const HWND about = DialogDriver::WaitForWindow(kAboutCaption);
            ASSERT_NE(about, nullptr);
            if (c.command == IDM_ABOUTBOX) {
                ::Sleep(300); // let it paint
                EXPECT_TRUE(DialogDriver::SaveScreenshot(about, Artifact("about-box.bmp")));
            }
            EXPECT_EQ(::GetWindow(about, GW_OWNER), d.Dialog());
            EXPECT_FALSE(::IsWindowEnabled(d.Dialog()));
            if (c.byEscape) {
                DialogDriver::PressKey(about, VK_ESCAPE);
            } else {
                ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            }
            EXPECT_TRUE(DialogDriver::WaitGone(about));
            EXPECT_TRUE(::IsWindowEnabled(d.Dialog()));
        }
        // Neighbouring commands are not About.
        ::PostMessageA(d.Dialog(), WM_SYSCOMMAND, 0x0020, 0);
        EXPECT_EQ(DialogDriver::WaitForWindow(kAboutCaption, 700), nullptr);
    });
}

TEST_F(MainWindowTest, CancelEscapeAndCloseEndTheWindow) {
    const std::function<void(DialogDriver&)> ways[] = {
        [](DialogDriver& d) { d.PostClick(IDCANCEL); },
        [](DialogDriver& d) { DialogDriver::PressKey(d.Dialog(), VK_ESCAPE); },
        [](DialogDriver& d) { ::PostMessageA(d.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](DialogDriver& d) { ::PostMessageA(d.Dialog(), WM_CLOSE, 0, 0); },
    };
    for (const auto& close : ways) {
        bool closed = false;
        const INT_PTR result = RunWindow([&](DialogDriver& d, const CCertUpdaterDlg&) {
            close(d);
            closed = DialogDriver::WaitGone(d.Dialog(), 5000);
        });
        EXPECT_TRUE(closed);
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST_F(MainWindowTest, GenerateRunsTheToolsWhileTheWindowWaitsDisabled) {
    PlaceStandin("converter", Bin() / "cert2kvf.exe");
    PlaceRegisteredInstallTool();
    WriteFile(Bin() / "Trusted CAs" / "root1.cer");
    ScopedEnv delay("ZC_STANDIN_DELAY_MS", "1500");
    const std::string mine = Cert("My Certs\\mine.cer");
    // A name the system's ANSI code page cannot carry (o with double acute).
    const std::string foreign = "f\xc5\x91tan\xc3\xbas\xc3\xadtv\xc3\xa1ny.cer";
    const std::string theirs = Cert("My Certs\\" + foreign);
    MessageBoxWatcher watcher(::GetCurrentThreadId(),
                              {kMainCaption, kAboutCaption, kPickerCaption});
    const HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
    const auto cursor = [] {
        CURSORINFO info{};
        info.cbSize = sizeof info;
        ::GetCursorInfo(&info);
        return info.hCursor;
    };

    RunWindow([&](DialogDriver& d, const CCertUpdaterDlg& dlg) {
        Add(d, mine);
        Add(d, theirs);
        ::Sleep(300); // let it paint
        EXPECT_TRUE(DialogDriver::SaveScreenshot(d.Dialog(), Artifact("main-window.bmp")));
        d.PostClick(IDC_GENERATE);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowEnabled(d.Dialog()); }, 5000));
        // The converter takes its time: the window says it is busy meanwhile.
        EXPECT_TRUE(WaitFor([&] { return cursor() == wait; }, 1000));
        // Clicks and close requests that reach the window anyway, sent or posted
        // by another program, run nothing, then or later.
        for (const int id : {IDC_GENERATE, IDC_ADD, IDC_REMOVE, IDCANCEL}) {
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(d.Item(id), BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &result);
            d.PostClick(id);
        }
        ::PostMessageA(d.Dialog(), WM_CLOSE, 0, 0);
        const auto install = WaitForRuns("install", 1);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(d.Dialog()) != FALSE; }, 5000));
        EXPECT_NE(cursor(), wait);
        // What was queued before this marker has been handled once it shows.
        ::PostMessageA(d.Item(IDC_CERT_LIST), LB_SETITEMDATA, 0, 42);
        EXPECT_TRUE(WaitFor(
            [&] { return ::SendMessageA(d.Item(IDC_CERT_LIST), LB_GETITEMDATA, 0, 0) == 42; }));
        EXPECT_EQ(DialogDriver::WaitForWindow(kPickerCaption, 300), nullptr);

        const auto converter = Runs("converter");
        ASSERT_EQ(converter.size(), 1u);
        const std::string known = "certs.kvf \"Trusted CAs\\root1.cer\" \"" + mine + "\" \"";
        EXPECT_EQ(converter[0].args.substr(0, known.size()), known);
        // The narrow converter opens the second one by its short name.
        EXPECT_EQ(converter[0].unopened, "");
        EXPECT_EQ(converter[0].cwd, Bin().string());
        ASSERT_EQ(install.size(), 1u);
        EXPECT_EQ(install[0].args, "\"" + (Bin() / "certs.kvf").string() + "\"");
        EXPECT_EQ(install[0].database, "database from: " + converter[0].args);

        // The list shows the real names, and it and its buttons are as before.
        EXPECT_EQ(d.ListLines(IDC_CERT_LIST), (std::vector<std::string>{"mine.cer", foreign}));
        EXPECT_EQ(dlg.CertPaths(), (std::vector<std::string>{mine, theirs}));
        EXPECT_EQ(d.ListSelection(IDC_CERT_LIST), 1);
        EXPECT_TRUE(d.Enabled(IDC_GENERATE));

        // A Generate that ends in a message: disabling the window took the
        // keyboard focus away, and the box (no owner) gives none back.
        RemoveTree(Bin() / "cert2kvf.exe");
        d.PostClick(IDC_GENERATE);
        EXPECT_TRUE(WaitFor([&] { return !watcher.Texts().empty(); }));
        EXPECT_TRUE(WaitFor([&] { return ::IsChild(d.Dialog(), d.Focus()) != FALSE; }, 3000));
    });
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{"cert2kvf.exe not found!"});
}

} // namespace
