#include "CertUpdaterApp.h"

#include "CertUpdaterDlg.h"
#include "framework/Strings.h"
#include "resources/resource.h"

const MessageEntry CCertUpdaterApp::kMessages[] = {
    OnCommand<&CCertUpdaterApp::OnHelp>(ID_HELP),
};

MessageMap CCertUpdaterApp::GetMessageMap() const {
    return MessageMap::Of(kMessages);
}

BOOL CCertUpdaterApp::InitInstance() {
    CCertUpdaterDlg dlg;
    if (const UINT error = dlg.Installer().StartupError(); error != 0) {
        ShowMessageBox(error);
        return FALSE;
    }
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE; // no message loop of our own: the process ends here
}

// The one application object, built before WinMain runs.
CCertUpdaterApp theApp;
