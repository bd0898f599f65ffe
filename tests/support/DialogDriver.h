#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// Drives a dialog that runs on another thread of this process through real
// window messages, as a user's clicks and keys would arrive.
class DialogDriver {
public:
    explicit DialogDriver(HWND dialog) : m_dialog(dialog) {}

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

    // A click that returns once its handler has run.
    void Click(int id) const { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // A click whose handler opens a modal window and so does not return soon.
    void PostClick(int id) const { ::PostMessageA(Item(id), BM_CLICK, 0, 0); }
    // A key pressed on the focused control of `window`'s thread.
    static void PressKey(HWND window, UINT key);

    std::vector<std::string> ListLines(int listId) const;
    int ListSelection(int listId) const;
    void SelectLine(int listId, int index) const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    // The control holding the keyboard focus in the dialog's thread.
    HWND Focus() const;

    // Chooses `path` in the open-file picker titled `title`, or cancels it.
    static bool ChooseInPicker(const std::string& title, const std::string& path);
    static bool CancelPicker(const std::string& title);

    // A visible top-level window of this process with the given caption.
    static HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = 10000);
    static bool WaitGone(HWND window, DWORD timeoutMs = 10000);

    // Closes every other visible window of `main`'s thread, innermost first.
    static void CloseOthers(HWND main);

    // Saves what the screen shows of `window` as a 24-bit BMP, for people to look at.
    static bool SaveScreenshot(HWND window, const std::string& path);

private:
    HWND m_dialog;
};

} // namespace testing_support
