#pragma once

#include <windows.h>

#include <string>

// Narrow text from the executable's string table; empty when the number is unknown.
std::string LoadResString(UINT id);

// Shows message `id` in a box with no owner, the default caption, OK only and no
// icon, and returns when the user closes it. A message that fails to load shows empty.
void ShowMessageBox(UINT id);

// Full path of the running executable, however long it is.
std::string ModuleFileName();
