// Stand-in for the converter or the install tool: records how it was started
// (command line, folder, window state, times) so tests can check it, and, as
// the converter, leaves "certs.kvf" in its working folder like the real one.
// The record is UTF-8 whatever the stand-in read its command line as.
//
// ZC_STANDIN_LOG       file the record is appended to (default: "<exe>.log" beside it)
// ZC_STANDIN_DELAY_MS  converter only: wait this long before writing the database
// ZC_STANDIN_WRITE     converter only: "0" writes no database at all
// ZC_STANDIN_LINGER_MS converter only: wait this long after writing it, before ending
// ZC_STANDIN_EXIT      converter only: the exit code (default 0)
// ZC_STANDIN_WIDE      converter only: "1" reads the command line as wide text;
//                      otherwise it is narrow, in the system's code page, as an
//                      older program reads it
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name) {
    char buffer[4096];
    const DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string Utf8(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    std::string out(static_cast<size_t>(size) * 3, '\0');
    out.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(),
                                                         size * 3, nullptr, nullptr)));
    return out;
}

std::wstring FromCodePage(const std::string& text) {
    const int size = static_cast<int>(text.size());
    std::wstring out(static_cast<size_t>(size), L'\0');
    out.resize(
        static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), size)));
    return out;
}

// The command line after the program token, as the program received it.
template <class Char> std::basic_string<Char> Arguments(const Char* line) {
    const Char* p = line;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p) {
            ++p;
        }
    } else {
        while (*p && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

// The double-quoted arguments, without their quotes.
template <class Char>
std::vector<std::basic_string<Char>> Quoted(const std::basic_string<Char>& args) {
    std::vector<std::basic_string<Char>> paths;
    for (size_t open = args.find('"'); open != args.npos; open = args.find('"', open)) {
        const size_t close = args.find('"', open + 1);
        if (close == args.npos) {
            break;
        }
        paths.push_back(args.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return paths;
}

#ifdef ZC_STANDIN_CONVERTER
// Sleeps as many milliseconds as the variable says, if any.
void SleepFor(const char* variable) {
    ::Sleep(static_cast<DWORD>(std::max(0, std::atoi(Env(variable).c_str()))));
}

bool Opens(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::CloseHandle(file);
    return true;
}
#else
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
#endif

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH * 4 - 1);
    wchar_t cwd[MAX_PATH * 4] = {};
    ::GetCurrentDirectoryW(MAX_PATH * 4 - 1, cwd);

#ifdef ZC_STANDIN_CONVERTER
    const char* role = "converter";
    // The certificates it could not open, as it would have to.
    std::string args, unopened;
    if (Env("ZC_STANDIN_WIDE") == "1") {
        const std::wstring wide = Arguments(::GetCommandLineW());
        args = Utf8(wide);
        for (const std::wstring& path : Quoted(wide)) {
            if (!Opens(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr))) {
                unopened += " \"" + Utf8(path) + '"';
            }
        }
    } else {
        const std::string narrow = Arguments(::GetCommandLineA());
        args = Utf8(FromCodePage(narrow));
        for (const std::string& path : Quoted(narrow)) {
            if (!Opens(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr))) {
                unopened += " \"" + Utf8(FromCodePage(path)) + '"';
            }
        }
    }
    SleepFor("ZC_STANDIN_DELAY_MS");
    if (Env("ZC_STANDIN_WRITE") != "0") {
        std::ofstream("certs.kvf", std::ios::binary) << "database from: " << args;
    }
    SleepFor("ZC_STANDIN_LINGER_MS");
#else
    const char* role = "install";
    const std::string narrow = Arguments(::GetCommandLineA());
    const std::string args = Utf8(FromCodePage(narrow));
    const auto paths = Quoted(narrow);
    const std::string database = ReadFile(paths.size() == 1 ? paths[0] : narrow);
#endif

    std::string log = Env("ZC_STANDIN_LOG");
    if (log.empty()) {
        char selfNarrow[MAX_PATH * 4] = {};
        ::GetModuleFileNameA(nullptr, selfNarrow, sizeof selfNarrow - 1);
        log = std::string(selfNarrow) + ".log";
    }
    std::ostringstream out;
    out << "role=" << role << "\n"
        << "exe=" << Utf8(self) << "\n"
        << "cwd=" << Utf8(cwd) << "\n"
        << "args=" << args << "\n";
#ifdef ZC_STANDIN_CONVERTER
    out << "unopened=" << unopened << "\n";
#else
    out << "database=" << database << "\n";
#endif
    // How it was asked to show its window (a SW_ number, or -1 for no word), and
    // its creation and now, its end, in 100 ns units since 1601.
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    FILETIME created{}, unused{}, now{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &unused, &unused, &unused);
    ::GetSystemTimeAsFileTime(&now);
    out << "show=" << (startup.dwFlags & STARTF_USESHOWWINDOW ? int{startup.wShowWindow} : -1)
        << "\ncreated=" << ULARGE_INTEGER{{created.dwLowDateTime, created.dwHighDateTime}}.QuadPart
        << "\nended=" << ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart << "\n"
        << "end\n";
    // In one write: the converter and the install tool of the run before may
    // append to the same file at the same time.
    const std::string record = out.str();
    const HANDLE file =
        ::CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::CloseHandle(file);
#ifdef ZC_STANDIN_CONVERTER
    return std::atoi(Env("ZC_STANDIN_EXIT").c_str());
#else
    return 0;
#endif
}
