#include "WaitCursor.h"

namespace {
// Only the user-interface thread shows wait cursors.
int g_waiting = 0;

HCURSOR WaitShape() {
    return ::LoadCursorA(nullptr, IDC_WAIT);
}
} // namespace

CWaitCursor::CWaitCursor() : m_previous(::SetCursor(WaitShape())) {
    ++g_waiting;
}

CWaitCursor::~CWaitCursor() {
    --g_waiting;
    ::SetCursor(m_previous);
}

bool CWaitCursor::Refresh() {
    if (g_waiting == 0) {
        return false;
    }
    ::SetCursor(WaitShape());
    return true;
}
