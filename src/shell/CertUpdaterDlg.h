#pragma once

#include "framework/Dialog.h"
#include "generation/CertInstaller.h"
#include "resources/resource.h"

#include <string>
#include <vector>

// The program's one window: the certificate list with Add, Remove and Generate.
class CCertUpdaterDlg : public CDialog {
public:
    explicit CCertUpdaterDlg(CDialog* parent = nullptr);

    const CCertInstaller& Installer() const { return m_installer; }
    // Full paths of the listed certificates, index for index with the list box.
    const std::vector<std::string>& CertPaths() const { return m_certPaths; }

protected:
    BOOL OnInitDialog() override;
    MessageMap GetMessageMap() const override;

private:
    static const MessageEntry kMessages[];

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAdd();
    void OnRemove();
    void OnGenerate();

    HWND CertList() const { return GetDlgItem(IDC_CERT_LIST); }
    // Remove and Generate are usable exactly while the list has entries.
    void EnableListButtons(bool enable);

    HICON m_hIcon = nullptr;
    CCertInstaller m_installer;
    std::vector<std::string> m_certPaths;
};
