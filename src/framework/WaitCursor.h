#pragma once

#include <windows.h>

// The wait cursor over the program's windows for one scope, and the cursor
// from before on every way out. While one is alive, dialogs keep showing it
// when the mouse moves over them.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Sets the wait cursor again where one is alive; false otherwise.
    static bool Refresh();

private:
    HCURSOR m_previous;
};
