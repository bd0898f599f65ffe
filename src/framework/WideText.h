#pragma once

#include <string>

// The program's text is narrow (system code page); these convert at the few
// places where only the wide API handles long paths.
std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& text);

// Wide form of an absolute path, with the "\\?\" prefix once it is too long for
// the classic MAX_PATH limit.
std::wstring ToLongPathW(const std::string& path);
