#pragma once

#include <string>
#include <vector>

class CCertInstaller;

// The certificates that go to the device: the entries of the "Trusted CAs" folder
// beside the program (or one folder up) as "Trusted CAs\name", in the file
// system's order, then the first listCount user paths.
std::vector<std::string> BuildFileSet(const std::vector<std::string>& certPaths,
                                      std::size_t listCount);

// Generate: builds the file set and, when it is not empty, runs the converter and
// then the install tool. Reports nothing of its own.
void GenerateKvf(const std::vector<std::string>& certPaths, std::size_t listCount,
                 CCertInstaller& installer);
