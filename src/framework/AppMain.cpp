// Entry point of a program built on CWinApp; linked into the program only, so
// test executables keep their own main.
#include "DllSearch.h"
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    // The command line is not used. A dialog program runs entirely inside its hook.
    app->InitInstance();
    return app->ExitInstance();
}
