#pragma once

#include "shell/CertUpdaterDlg.h"

#include "framework/WinApp.h"

#include "DialogDriver.h"
#include "SiblingLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace testing_support {

inline const char kMainCaption[] = "Zendry Certificate Authority Updater";
inline const char kAboutCaption[] = "About ZendryCertificates";
inline const char kPickerCaption[] = "Find Certificates";

// Screenshots for people to look at, kept with the build.
inline std::string Artifact(const std::string& name) {
    const fs::path folder = ExeFolder().parent_path().parent_path() / "artifacts";
    fs::create_directories(folder);
    return (folder / name).string();
}

// Runs the real main window modally on this thread, as the program does, while
// `drive` works it from a second thread; the window is closed afterwards.
class MainWindowHost : public SiblingLayout {
protected:
    using Drive = std::function<void(DialogDriver&, const CCertUpdaterDlg&)>;

    INT_PTR RunWindow(const Drive& drive) {
        CWinApp app;
        CCertUpdaterDlg dlg;
        app.m_pMainWnd = &dlg;
        std::thread driver([&] {
            const HWND window = DialogDriver::WaitForWindow(kMainCaption);
            if (window == nullptr) {
                ADD_FAILURE() << "the main window did not appear";
                return;
            }
            DialogDriver d(window);
            drive(d, dlg);
            // Whatever a failed step left open (a picker, a box) must not keep
            // the window from closing.
            DialogDriver::CloseOthers(window);
            if (::IsWindow(window)) {
                ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }
        });
        const INT_PTR result = dlg.DoModal();
        driver.join();
        return result;
    }

    // A real certificate file for the picker to find.
    static std::string Cert(const std::string& relative) {
        const fs::path path = Parent() / "certs" / FromAcp(relative);
        WriteFile(path, "certificate");
        return ToAcp(path);
    }

    static void Add(DialogDriver& d, const std::string& path) {
        d.PostClick(IDC_ADD);
        ASSERT_TRUE(DialogDriver::ChooseInPicker(kPickerCaption, path));
    }
};

} // namespace testing_support
