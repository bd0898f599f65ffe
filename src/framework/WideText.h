#pragma once

#include <string>

// The program's text is narrow, in its process code page (UTF-8 where the
// system honours the manifest's request); these convert at the few places
// where only the wide API will do.
std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& text);
// The number of UTF-16 units in `text`'s wide form, without making it.
std::size_t WideLength(const std::string& text);

// Wide form of an absolute path, with the "\\?\" prefix once it is too long for
// the classic MAX_PATH limit.
std::wstring ToLongPathW(const std::string& path);

// The system's own ANSI code page, which narrow programs without a code page
// of their own use; this process's may differ.
unsigned SystemAnsiCodePage();

// True when `text` survives a round trip through code page `codePage`, with no
// character replaced by a look-alike or a default.
bool FitsCodePage(const std::wstring& text, unsigned codePage);
