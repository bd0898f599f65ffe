#pragma once

#include <string>

class CFileFind;

// Looks for relativeName (a file, folder or wildcard pattern) in the executable's
// own folder and then up the tree, `levels` folders in all (at least one).
// folderOut is always overwritten: the folder of the last search made, without a
// trailing backslash. Returns true when the last search found an entry.
bool LocateUpward(int levels, const std::string& relativeName, std::string& folderOut);

// The same search starting from a given executable path instead of the running one.
bool LocateUpwardFrom(const std::string& executablePath, int levels,
                      const std::string& relativeName, std::string& folderOut);

// LocateUpward, leaving the search that found the name open in `find` on its
// first entry, for a caller that goes on to list what matched.
bool LocateUpward(int levels, const std::string& relativeName, std::string& folderOut,
                  CFileFind& find);
