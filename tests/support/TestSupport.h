#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

// Folder of the running test executable, and its parent.
fs::path ExeFolder();
// Built stand-ins: "converter" or "install".
fs::path StandinPath(const std::string& role);

// Paths to and from the program's narrow text (system code page); the standard
// library's own narrow conversion does not follow the code page.
fs::path FromAcp(const std::string& path);
std::string ToAcp(const fs::path& path);

// Writes `content` to `path`, creating its folders.
void WriteFile(const fs::path& path, const std::string& content = "x");
// Copies a stand-in program to `path`, creating its folders.
void PlaceStandin(const std::string& role, const fs::path& path);

// Removes a file or folder tree, also beyond MAX_PATH; a missing one is fine.
void RemoveTree(const fs::path& path);
// Empties a folder the tests own, keeping the entries named in `keep`.
void ClearFolder(const fs::path& folder, const std::vector<std::string>& keep = {});

// The desktop suite's registry entry in the test prefix's real registry.
struct DesktopRegistry {
    static void Remove();
    static void CreateKeyOnly();
    static void SetValue(DWORD type, const std::string& bytes);
};

// Registry values of every type at sizes around the program's 260-byte buffer,
// with and without a terminating zero, and the folder text each must give.
struct RegistryShape {
    std::string label;
    DWORD type;
    std::string bytes;
    std::string desktopPath; // empty: the value counts as absent
};
std::vector<RegistryShape> RegistryShapes();

// One run of a stand-in as it recorded it.
// Converter runs also list the quoted paths it could not open.
struct StandinRun {
    std::string role, exe, cwd, args, database, unopened;
    std::string show;                          // SW_ number it was asked to show, or -1
    unsigned long long created = 0, ended = 0; // 100 ns units since 1601
};
std::vector<StandinRun> ReadStandinLog(const fs::path& log);

// Closes every message box the watched thread shows and remembers its text, so
// code under test that reports through a real box does not block the test.
// Dialogs with a caption in `ignore` (the program's own windows) are left alone.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD threadId = ::GetCurrentThreadId(),
                               std::vector<std::string> ignore = {});
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    struct Box {
        std::string caption, text;
        int buttons = 0;
        bool hasIcon = false;
    };
    std::vector<Box> Boxes() const;
    std::vector<std::string> Texts() const;

private:
    void Run();

    DWORD m_threadId;
    std::vector<std::string> m_ignore;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Box> m_boxes;
    std::thread m_thread;
};

// Sets an environment variable for this process and its children for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had;
};

// Changes the current folder for one scope.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const fs::path& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    fs::path m_old;
};

// Loads a string of the executable's message table (the code under test uses the same).
std::string Message(UINT id);

// Polls `condition` until it holds or `timeoutMs` passes.
template <class Condition> bool WaitFor(Condition condition, DWORD timeoutMs = 10000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs) {
            return false;
        }
        ::Sleep(20);
    }
    return true;
}

} // namespace testing_support
