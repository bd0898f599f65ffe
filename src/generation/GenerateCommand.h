#pragma once

#include <string>
#include <vector>

class CCertInstaller;

// The certificates that go to the device: the files of the "Trusted CAs" folder
// beside the program (or one folder up), in the file system's order, then the
// first listCount user paths. The trusted ones are named "Trusted CAs\name"
// where that folder lies in the converter's folder, and by full path elsewhere.
std::vector<std::string> BuildFileSet(const std::vector<std::string>& certPaths,
                                      std::size_t listCount, const std::string& converterFolder);

// Generate: builds the file set and, when it is not empty, runs the converter and,
// on the database it wrote, the install tool. Reports nothing of its own.
void GenerateKvf(const std::vector<std::string>& certPaths, std::size_t listCount,
                 CCertInstaller& installer);
