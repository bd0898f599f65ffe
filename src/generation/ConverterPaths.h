#pragma once

#include <string>

// "X:\..." or "\\server\share...": a folder that means the same whatever the
// current folder is.
bool IsAbsoluteFolder(const std::string& path);

// The form of a certificate path that a narrow program running in code page
// `codePage` (the system's ANSI one) can open. A path that code page can carry
// goes as it is; in any other, each part it cannot carry takes its short (8.3)
// form where the volume has one, and where none, the path stays as it is.
// Relative paths are taken from `folder` and stay relative.
std::string ForNarrowProgram(const std::string& path, const std::string& folder, unsigned codePage);
