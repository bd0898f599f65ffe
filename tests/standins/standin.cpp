// Stand-in for the converter or the install tool: records how it was started
// (command line, arguments, working folder) so tests can check it, and, as the
// converter, leaves "certs.kvf" in its working folder like the real one.
//
// ZC_STANDIN_LOG       file the record is appended to (default: "<exe>.log" beside it)
// ZC_STANDIN_DELAY_MS  converter only: wait this long before writing the database
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Env(const char* name) {
    char buffer[4096];
    const DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// The command line after the program token, as the program received it.
std::string Arguments(const char* line) {
    const char* p = line;
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

#ifndef ZC_STANDIN_CONVERTER
std::string Unquote(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

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
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self - 1);
    char cwd[MAX_PATH * 4] = {};
    ::GetCurrentDirectoryA(sizeof cwd - 1, cwd);
    const std::string args = Arguments(::GetCommandLineA());

#ifdef ZC_STANDIN_CONVERTER
    const char* role = "converter";
    const int delay = std::atoi(Env("ZC_STANDIN_DELAY_MS").c_str());
    if (delay > 0) {
        ::Sleep(static_cast<DWORD>(delay));
    }
    std::ofstream("certs.kvf", std::ios::binary) << "database from: " << args;
#else
    const char* role = "install";
    const std::string database = ReadFile(Unquote(args));
#endif

    std::string log = Env("ZC_STANDIN_LOG");
    if (log.empty()) {
        log = std::string(self) + ".log";
    }
    std::ofstream out(log, std::ios::binary | std::ios::app);
    out << "role=" << role << "\n"
        << "exe=" << self << "\n"
        << "cwd=" << cwd << "\n"
        << "args=" << args << "\n";
#ifndef ZC_STANDIN_CONVERTER
    out << "database=" << database << "\n";
#endif
    out << "end\n";
    return 0;
}
