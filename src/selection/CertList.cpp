// The certificate list: the list box shows file names, m_certPaths keeps the
// full paths at the same indexes. Entries are only appended or deleted, and the
// list box is unsorted, so the two never drift apart.
#include "shell/CertUpdaterDlg.h"

#include "framework/FileDialog.h"
#include "framework/Strings.h"

void CCertUpdaterDlg::OnAdd() {
    CFileDialog picker(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON,
                       LoadResString(IDS_CERT_FILTER), this);
    picker.SetTitle(LoadResString(IDS_FIND_TITLE));
    picker.SetInitialFolder("C:\\");
    if (picker.DoModal() != IDOK) {
        return;
    }
    const std::string name = picker.GetFileName();
    if (name.empty()) {
        return;
    }
    const LRESULT index =
        ::SendMessageA(CertList(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index < 0) {
        return; // the list box is full: keep both lists as they are
    }
    m_certPaths.push_back(picker.GetPathName());
    EnableListButtons(true);
    ::SendMessageA(CertList(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CCertUpdaterDlg::OnRemove() {
    const LRESULT selected = ::SendMessageA(CertList(), LB_GETCURSEL, 0, 0);
    // After a removal nothing is selected; Remove then has nothing to do.
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_certPaths.size()) {
        return;
    }
    m_certPaths.erase(m_certPaths.begin() + selected);
    ::SendMessageA(CertList(), LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    if (::SendMessageA(CertList(), LB_GETCOUNT, 0, 0) == 0) {
        EnableListButtons(false);
    }
}
