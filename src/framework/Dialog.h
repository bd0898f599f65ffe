#pragma once

#include "CmdTarget.h"

// A modal dialog built from a dialog template resource. Messages go first to the
// derived class's static message table; OK, Cancel, Escape and the close box end
// the dialog through OnOK and OnCancel; everything else gets the platform defaults.
class CDialog : public CCmdTarget {
public:
    explicit CDialog(UINT templateId, CDialog* parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog and returns how it ended (IDOK, IDCANCEL), or -1 when it could
    // not be created. Without a parent, the application's main window owns it.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const;

protected:
    // Initialisation hook; true lets the platform focus the first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Called from a table handler: after it returns, the platform's default
    // processing of the same message runs as well.
    void Default() { m_runDefault = true; }

    // Held by a handler that takes a while (it waits for another program, say).
    // The window is disabled, so the user's clicks and keys stay away, and the
    // commands that reach it all the same - sent or posted by another program,
    // such as an accessibility tool invoking a button - run nothing: no click,
    // menu command or close request. At the end the ones posted meanwhile are
    // dropped, and the window and its focus are back.
    class CBusyScope {
    public:
        explicit CBusyScope(CDialog& dialog);
        ~CBusyScope();
        CBusyScope(const CBusyScope&) = delete;
        CBusyScope& operator=(const CBusyScope&) = delete;

    private:
        CDialog& m_dialog;
        HWND m_focus;
    };

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void CenterWindow();

    UINT m_templateId;
    CDialog* m_parent;
    bool m_runDefault = false;
    bool m_busy = false;
};
