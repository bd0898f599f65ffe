// Times the Generate command's own work with the program's real functions:
// locating the converter, locating and enumerating "Trusted CAs", building the
// file set, both command lines and the converter's length check, and reading
// the database's state twice. The launches, the converter's run and the fixed
// pause are left out. Against it, one bare enumeration of the same folder with
// the same directory calls.
//
//   generate_bench <repeats> <count>...
//
// For each count it lays out "Trusted CAs" with that many files beside itself
// (where the program looks first), plus the converter the command locates and
// the database whose state it reads, and removes them again afterwards. Prints, per count,
// "generate <count> <median total> <median file set> <median command lines>
// <min total> <max total> <repeats>" and "enumerate <count> <median> <min>
// <max> <repeats>" and "firstmatch <count> <median>" in milliseconds.
#include "framework/FileState.h"
#include "framework/Strings.h"
#include "framework/WideText.h"
#include "generation/CertInstaller.h"
#include "generation/ConverterPaths.h"
#include "generation/GenerateCommand.h"
#include "generation/Launch.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kTrustedFolder[] = "Trusted CAs";
const char kCertPattern[] = "*.cer"; // as GenerateCommand.cpp
const char kConverter[] = "cert2kvf.exe";
const char kDatabase[] = "certs.kvf";
const char kInstallTool[] = "Sendora.exe";
constexpr int kWarmupRuns = 5;

// Keeps the optimiser from dropping the strings built in the timed part.
volatile std::size_t g_sink = 0;

struct Sample {
    double total;
    double fileSet;
    double commandLines;
};

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& freq) {
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool TouchFile(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // A few bytes, like a tiny DER file: enumeration never reads them.
    const char bytes[] = "\x30\x82\x01\x00";
    DWORD written = 0;
    ::WriteFile(file, bytes, sizeof bytes - 1, &written, nullptr);
    ::CloseHandle(file);
    return true;
}

std::string CertName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "trusted-root-%04d.cer", i);
    return name;
}

bool LayOut(const std::string& folder, int count) {
    const std::string trusted = folder + '\\' + kTrustedFolder;
    if (!::CreateDirectoryA(trusted.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!TouchFile(trusted + '\\' + CertName(i))) {
            return false;
        }
    }
    return true;
}

void Clear(const std::string& folder, int count) {
    const std::string trusted = folder + '\\' + kTrustedFolder;
    for (int i = 0; i < count; ++i) {
        ::DeleteFileA((trusted + '\\' + CertName(i)).c_str());
    }
    ::RemoveDirectoryA(trusted.c_str());
}

// One Generate minus the launches, the converter's run and the pause, timed in
// two parts.
Sample RunOnce(const std::vector<std::string>& picks, CCertInstaller& installer,
               const LARGE_INTEGER& freq, std::size_t& filesOut, std::string& converterFolder) {
    LARGE_INTEGER t0, t1, t2;
    ::QueryPerformanceCounter(&t0);
    converterFolder = LocateConverter().folder;
    const std::vector<std::string> files = BuildFileSet(picks, picks.size(), converterFolder);
    ::QueryPerformanceCounter(&t1);

    installer.SetFiles(files);
    const std::string parameters = ConverterParameters(installer.Files(), converterFolder);
    const std::string converter = converterFolder + '\\' + kConverter;
    const bool fits = CommandLineFits(converter, parameters);
    // The database's state before the converter runs and after it ended.
    const std::string database = converterFolder + '\\' + kDatabase;
    const FileState before = ReadFileState(database);
    const FileState after = ReadFileState(database);
    const std::string installParameters =
        '"' + ForNarrowProgram(database, std::string(), SystemAnsiCodePage()) + '"';
    const std::string installTool = installer.DesktopPath() + kInstallTool;
    ::QueryPerformanceCounter(&t2);

    g_sink = g_sink + parameters.size() + converter.size() + installParameters.size() +
             installTool.size() + fits + (before == after);
    filesOut = files.size();
    return Sample{Ms(t0, t2, freq), Ms(t0, t1, freq), Ms(t1, t2, freq)};
}

// The baseline: one FindFirstFileW/FindNextFileW pass over the pattern
// BuildFileSet enumerates, in the same wide long-path form CFileFind passes.
// Returns the milliseconds taken; `found` gets the number of entries.
double EnumerateOnce(const std::wstring& pattern, const LARGE_INTEGER& freq, std::size_t& found) {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    std::size_t n = 0;
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            ++n;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::QueryPerformanceCounter(&t1);
    found = n;
    return Ms(t0, t1, freq);
}

// Not a baseline: the first FindFirstFileW alone, as LocateUpward makes it to
// see whether the folder holds a match. Shows what a second search costs.
double FirstMatchOnce(const std::wstring& pattern, const LARGE_INTEGER& freq, bool& found) {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    found = find != INVALID_HANDLE_VALUE;
    if (found) {
        ::FindClose(find);
    }
    ::QueryPerformanceCounter(&t1);
    return Ms(t0, t1, freq);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: generate_bench <repeats> <count>...\n", stderr);
        return 2;
    }
    const int repeats = std::atoi(argv[1]);
    if (repeats < 1) {
        std::fputs("repeats must be at least 1\n", stderr);
        return 2;
    }
    std::string folder = ModuleFileName();
    folder.erase(folder.rfind('\\'));
    // What the command locates beside the program; never started here.
    if (!TouchFile(folder + '\\' + kConverter) || !TouchFile(folder + '\\' + kDatabase)) {
        std::fprintf(stderr, "cannot write beside %s\n", folder.c_str());
        return 1;
    }
    // Two picked files from the list, as a user adds them.
    const std::vector<std::string> picks = {"C:\\Users\\me\\Certificates\\intranet-root.cer",
                                            "C:\\Users\\me\\Certificates\\lab ca.cer"};
    CCertInstaller installer;
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);

    int status = 0;
    for (int a = 2; a < argc && status == 0; ++a) {
        const int count = std::atoi(argv[a]);
        if (count < 1 || !LayOut(folder, count)) {
            std::fprintf(stderr, "cannot lay out %d certificates\n", count);
            Clear(folder, count);
            status = 1;
            break;
        }
        const std::wstring pattern =
            ToLongPathW(folder + '\\' + kTrustedFolder + '\\' + kCertPattern);
        std::vector<double> total, fileSet, commandLines, enumeration, firstMatch;
        for (int run = 0; run < kWarmupRuns + repeats; ++run) {
            std::size_t files = 0, entries = 0;
            bool matched = false;
            std::string converterFolder;
            // Reversing the order every other run spreads cache and scheduling
            // effects evenly.
            double bare = 0, first = 0;
            Sample s{};
            if (run % 2) {
                first = FirstMatchOnce(pattern, freq, matched);
                bare = EnumerateOnce(pattern, freq, entries);
                s = RunOnce(picks, installer, freq, files, converterFolder);
            } else {
                s = RunOnce(picks, installer, freq, files, converterFolder);
                bare = EnumerateOnce(pattern, freq, entries);
                first = FirstMatchOnce(pattern, freq, matched);
            }
            // A run that found the wrong things measured the wrong work.
            if (files != static_cast<std::size_t>(count) + picks.size() ||
                converterFolder != folder || entries != static_cast<std::size_t>(count) ||
                !matched) {
                std::fprintf(stderr,
                             "run at %d: %u files, converter in %s, %u entries enumerated\n", count,
                             static_cast<unsigned>(files), converterFolder.c_str(),
                             static_cast<unsigned>(entries));
                status = 1;
                break;
            }
            if (run >= kWarmupRuns) {
                total.push_back(s.total);
                fileSet.push_back(s.fileSet);
                commandLines.push_back(s.commandLines);
                enumeration.push_back(bare);
                firstMatch.push_back(first);
            }
        }
        Clear(folder, count);
        if (status == 0) {
            std::printf("generate %d %.4f %.4f %.4f %.4f %.4f %d\n", count, Median(total),
                        Median(fileSet), Median(commandLines),
                        *std::min_element(total.begin(), total.end()),
                        *std::max_element(total.begin(), total.end()), repeats);
            std::printf("enumerate %d %.4f %.4f %.4f %d\n", count, Median(enumeration),
                        *std::min_element(enumeration.begin(), enumeration.end()),
                        *std::max_element(enumeration.begin(), enumeration.end()), repeats);
            std::printf("firstmatch %d %.4f\n", count, Median(firstMatch));
        }
    }
    ::DeleteFileA((folder + '\\' + kConverter).c_str());
    ::DeleteFileA((folder + '\\' + kDatabase).c_str());
    return status;
}
