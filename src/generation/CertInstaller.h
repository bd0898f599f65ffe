#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Where the converter runs and leaves its database: the folder "cert2kvf.exe"
// lies in, beside the program or one folder up. When it is in neither, found
// is false and the folder is the last one searched.
struct ConverterLocation {
    bool found = false;
    std::string folder;
};
ConverterLocation LocateConverter();

// The converter's parameters: "certs.kvf", then every file in double quotes,
// each in a form that a narrow converter running in `folder` can open.
std::string ConverterParameters(const std::vector<std::string>& files, const std::string& folder);

// Drives the two outside programs: the converter "cert2kvf.exe", which turns a
// set of certificate files into "certs.kvf" in its own folder, and the desktop
// suite's install tool "Sendora.exe", which takes that database over.
class CCertInstaller {
public:
    // How long GenerateDatabase waits for the converter to finish.
    static constexpr DWORD kConverterWaitMs = ZC_CONVERTER_WAIT_MS;

    // Reads the desktop suite's folder from the registry, once.
    CCertInstaller();
    virtual ~CCertInstaller() = default;

    // Replaces the file set handed to the converter; always true.
    bool SetFiles(const std::vector<std::string>& files);
    // Starts the converter on the file set, waits for it (bounded) and checks
    // that it wrote its database anew. True when it did; otherwise the user has
    // been told why.
    bool GenerateDatabase() { return GenerateDatabase(LocateConverter()); }
    // The same with the converter located already.
    bool GenerateDatabase(const ConverterLocation& converter);
    // Starts the install tool on the database the last GenerateDatabase wrote,
    // and on no other. True when it was started; otherwise the user has been
    // told why, or there was no such database.
    bool Install();
    // Shows message `id` from the message table in a plain box with no owner.
    static void ShowError(UINT id);

    const std::string& DesktopPath() const { return m_desktopPath; }
    const std::vector<std::string>& Files() const { return m_files; }
    // Message the start-up shows, instead of the window, when non-zero.
    UINT StartupError() const { return m_startupError; }

private:
    void ReadDesktopPath();

    std::string m_desktopPath; // empty, or ends in a backslash
    std::vector<std::string> m_files;
    UINT m_startupError = 0;
    std::string m_database; // full path; empty until a run wrote it, and once Install took it
};
