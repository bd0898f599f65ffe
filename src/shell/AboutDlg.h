#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

// The About box: the program's name, version and notice, closed by OK or Escape.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

// Appends a separator and "About ..." to the window's system menu.
void AddAboutToSystemMenu(HWND hwnd);

// Shows the About box modally for the About system command (any of its 16 ids);
// false for every other command.
bool ShowAboutForCommand(UINT id);
