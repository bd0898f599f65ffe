#pragma once

#include "CmdTarget.h"

class CDialog;

// The application object. Exactly one exists, as a global built during static
// initialisation; the program's entry point runs its start-up hook.
class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up hook. A dialog program does all its work here and returns false,
    // and the process then ends.
    virtual BOOL InitInstance() { return FALSE; }
    // Exit processing; its result is the process exit code.
    virtual int ExitInstance() { return 0; }

    // The window that owns dialogs opened without an explicit parent.
    CDialog* m_pMainWnd = nullptr;

protected:
    // Default help handler: the program ships no help content, so there is nothing to open.
    void OnHelp() {}
};

CWinApp* AfxGetApp();
