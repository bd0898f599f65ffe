#include "TestSupport.h"

#include "framework/Strings.h"
#include "framework/WideText.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {
const char kDesktopKey[] = "Software\\Harvelon\\Orvix Desktop\\Core";
}

fs::path ExeFolder() {
    return fs::path(ModuleFileName()).parent_path();
}

fs::path StandinPath(const std::string& role) {
    // Test executables live in build/tests/<suite>/bin, the stand-ins in build/tests/standins.
    return ExeFolder().parent_path().parent_path() / "standins" / ("standin_" + role + ".exe");
}

fs::path FromAcp(const std::string& path) {
    return fs::path(ToWide(path));
}

std::string ToAcp(const fs::path& path) {
    return FromWide(path.wstring());
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void PlaceStandin(const std::string& role, const fs::path& path) {
    fs::create_directories(path.parent_path());
    ::CopyFileW(StandinPath(role).c_str(), path.c_str(), FALSE);
}

namespace {

// Recursive delete on "\\?\"-prefixed wide paths, which reach beyond MAX_PATH.
void RemoveLongTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") {
                    RemoveLongTree(path + L"\\" + name);
                }
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(path.c_str());
    } else {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
    }
}

} // namespace

void RemoveTree(const fs::path& path) {
    RemoveLongTree(L"\\\\?\\" + fs::absolute(path).wstring());
}

void ClearFolder(const fs::path& folder, const std::vector<std::string>& keep) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        bool kept = false;
        for (const std::string& k : keep) {
            kept = kept || k == name;
        }
        if (!kept) {
            RemoveTree(entry.path());
        }
    }
}

void DesktopRegistry::Remove() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kDesktopKey);
}

void DesktopRegistry::CreateKeyOnly() {
    Remove();
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr);
    ::RegCloseKey(key);
}

void DesktopRegistry::SetValue(DWORD type, const std::string& bytes) {
    CreateKeyOnly();
    HKEY key = nullptr;
    ::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_WRITE, &key);
    // The wide call stores the bytes exactly as given for every type.
    std::wstring data;
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (text) {
        for (unsigned char c : bytes) {
            data.push_back(static_cast<wchar_t>(c));
        }
        ::RegSetValueExW(key, L"Path", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    } else {
        ::RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
    }
    ::RegCloseKey(key);
}

std::vector<RegistryShape> RegistryShapes() {
    std::vector<RegistryShape> shapes;
    const std::string source = "C:\\Suite" + std::string(400, 'p');
    for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD}) {
        for (size_t size : {0, 1, 2, 100, 258, 259, 260, 261, 300}) {
            for (bool terminated : {true, false}) {
                if (size == 0 && terminated) {
                    continue;
                }
                std::string bytes = source.substr(0, size);
                if (terminated) {
                    bytes.back() = '\0';
                }
                // The narrow read converts string types and adds the zero they
                // lack, which then needs a byte of the buffer too.
                const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
                const size_t needed = size + (text && !terminated ? 1 : 0);
                // Only an absolute folder counts: "C" or "C:" alone does not.
                std::string path = bytes.substr(0, bytes.find('\0'));
                if (needed > 260 || path.compare(0, 3, "C:\\") != 0) {
                    path.clear();
                } else {
                    path += '\\';
                }
                shapes.push_back({"type " + std::to_string(type) + ", " + std::to_string(size) +
                                      " bytes" + (terminated ? " ending in zero" : ""),
                                  type, bytes, path});
            }
        }
    }
    return shapes;
}

std::vector<StandinRun> ReadStandinLog(const fs::path& log) {
    std::vector<StandinRun> runs;
    std::ifstream in(log, std::ios::binary);
    std::string line;
    StandinRun run;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        if (key == "role") {
            run = StandinRun{};
            run.role = value;
        } else if (key == "exe") {
            run.exe = value;
        } else if (key == "cwd") {
            run.cwd = value;
        } else if (key == "args") {
            run.args = value;
        } else if (key == "database") {
            run.database = value;
        } else if (key == "unopened") {
            run.unopened = value;
        } else if (key == "show") {
            run.show = value;
        } else if (key == "created") {
            run.created = std::stoull(value);
        } else if (key == "ended") {
            run.ended = std::stoull(value);
        } else if (key == "end") {
            runs.push_back(run);
        }
    }
    return runs;
}

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId, std::vector<std::string> ignore)
    : m_threadId(threadId), m_ignore(std::move(ignore)), m_thread([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_stop = true;
    m_thread.join();
}

std::vector<MessageBoxWatcher::Box> MessageBoxWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

std::vector<std::string> MessageBoxWatcher::Texts() const {
    std::vector<std::string> texts;
    for (const Box& box : Boxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

namespace {

std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassName(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

MessageBoxWatcher::Box Describe(HWND box) {
    // A message box without an icon style still has a hidden or empty icon control.
    MessageBoxWatcher::Box result;
    result.caption = WindowText(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = ClassName(child);
        if (_stricmp(cls.c_str(), "Button") == 0 && ::IsWindowVisible(child)) {
            ++result.buttons;
        } else if (_stricmp(cls.c_str(), "Static") == 0) {
            if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                result.hasIcon = result.hasIcon || (::IsWindowVisible(child) &&
                                                    ::SendMessageA(child, STM_GETICON, 0, 0));
            } else if (result.text.empty()) {
                result.text = WindowText(child);
            }
        }
    }
    return result;
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd) && ClassName(hwnd) == "#32770") {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    }
    return TRUE;
}

} // namespace

void MessageBoxWatcher::Run() {
    while (!m_stop) {
        std::vector<HWND> dialogs;
        ::EnumThreadWindows(m_threadId, &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND box : dialogs) {
            // A message box always has a caption (the default one when given none); a
            // dialog without one yet is still being built, like the picker as it opens.
            const std::string caption = WindowText(box);
            if (caption.empty() ||
                std::find(m_ignore.begin(), m_ignore.end(), caption) != m_ignore.end()) {
                continue;
            }
            Box described = Describe(box);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_boxes.push_back(described);
            }
            ::SendMessageA(box, WM_COMMAND, IDOK, 0);
            WaitFor([box] { return !::IsWindow(box); }, 5000);
        }
        ::Sleep(20);
    }
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    char old[32768];
    const DWORD length = ::GetEnvironmentVariableA(name, old, sizeof old);
    m_had = length > 0 && length < sizeof old;
    if (m_had) {
        m_old.assign(old, length);
    }
    ::SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnv::~ScopedEnv() {
    ::SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr);
}

ScopedCurrentFolder::ScopedCurrentFolder(const fs::path& folder) : m_old(fs::current_path()) {
    fs::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
    std::error_code error;
    fs::current_path(m_old, error);
}

std::string Message(UINT id) {
    return LoadResString(id);
}

} // namespace testing_support
