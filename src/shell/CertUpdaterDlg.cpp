#include "CertUpdaterDlg.h"

#include "AboutDlg.h"
#include "framework/PaintDC.h"
#include "generation/GenerateCommand.h"

const MessageEntry CCertUpdaterDlg::kMessages[] = {
    OnMessage<&CCertUpdaterDlg::OnSysCommand>(WM_SYSCOMMAND),
    OnMessage<&CCertUpdaterDlg::OnPaint>(WM_PAINT),
    OnMessage<&CCertUpdaterDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
    OnClicked<&CCertUpdaterDlg::OnAdd>(IDC_ADD),
    OnClicked<&CCertUpdaterDlg::OnRemove>(IDC_REMOVE),
    OnClicked<&CCertUpdaterDlg::OnGenerate>(IDC_GENERATE),
};

MessageMap CCertUpdaterDlg::GetMessageMap() const {
    return MessageMap::Of(kMessages);
}

CCertUpdaterDlg::CCertUpdaterDlg(CDialog* parent) : CDialog(IDD_MAIN, parent) {
    // The standard (32x32) image of the group; a shared icon, never destroyed.
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BOOL CCertUpdaterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutToSystemMenu(m_hWnd);
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    return TRUE; // focus to the first tab stop
}

void CCertUpdaterDlg::OnSysCommand(UINT id, LPARAM /*lParam*/) {
    if (!ShowAboutForCommand(id)) {
        Default(); // Move, Size, Minimize, Close and the rest
    }
}

void CCertUpdaterDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    // Minimised: draw the application icon centred in the client area.
    CPaintDC dc(m_hWnd);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, m_hIcon);
}

HCURSOR CCertUpdaterDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CCertUpdaterDlg::OnGenerate() {
    // The converter may take a while: no second Generate, Add, Remove or close
    // may run inside the wait.
    const CBusyScope busy(*this);
    const LRESULT count = ::SendMessageA(CertList(), LB_GETCOUNT, 0, 0);
    GenerateKvf(m_certPaths, count > 0 ? static_cast<std::size_t>(count) : 0, m_installer);
}

void CCertUpdaterDlg::EnableListButtons(bool enable) {
    const HWND remove = GetDlgItem(IDC_REMOVE);
    const HWND generate = GetDlgItem(IDC_GENERATE);
    // A button that loses its enabled state must not keep the focus with it.
    const HWND focus = ::GetFocus();
    if (!enable && (focus == remove || focus == generate)) {
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_ADD)), TRUE);
    }
    ::EnableWindow(remove, enable);
    ::EnableWindow(generate, enable);
}
