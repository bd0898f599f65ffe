#include "CmdTarget.h"

bool CCmdTarget::DispatchFromTable(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        const MessageEntry& entry = map.entries[i];
        if (entry.message != message) {
            continue;
        }
        if (message == WM_COMMAND && (entry.code != HIWORD(wParam) || entry.id != LOWORD(wParam))) {
            continue;
        }
        result = entry.invoke(*this, wParam, lParam);
        return true;
    }
    return false;
}
