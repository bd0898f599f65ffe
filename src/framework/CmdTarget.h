#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class CCmdTarget;

// One row of a static message table: a window message (or a command with its
// notification code and control id) and the member that handles it.
struct MessageEntry {
    UINT message;
    UINT code; // WM_COMMAND only: notification code
    UINT id;   // WM_COMMAND only: control or command id
    LRESULT (*invoke)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageEntry* entries = nullptr;
    std::size_t count = 0;

    template <std::size_t N> static constexpr MessageMap Of(const MessageEntry (&table)[N]) {
        return {table, N};
    }
};

namespace message_detail {

template <class> struct MemberOf;
template <class C, class R, class... Args> struct MemberOf<R (C::*)(Args...)> {
    using Class = C;
    using Result = R;
};

// Calls a handler of one of the shapes the tables use: void(), void(UINT, LPARAM)
// (system commands), or a handle returned as the message result.
template <auto Handler> LRESULT Invoke(CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
    using Traits = MemberOf<decltype(Handler)>;
    auto& self = static_cast<typename Traits::Class&>(target);
    if constexpr (std::is_invocable_v<decltype(Handler), typename Traits::Class&, UINT, LPARAM>) {
        (self.*Handler)(static_cast<UINT>(wParam), lParam);
        return 0;
    } else if constexpr (std::is_void_v<typename Traits::Result>) {
        (void)wParam;
        (void)lParam;
        (self.*Handler)();
        return 0;
    } else {
        (void)wParam;
        (void)lParam;
        return reinterpret_cast<LRESULT>((self.*Handler)());
    }
}

} // namespace message_detail

// Table rows, e.g. OnMessage<&CMyDlg::OnPaint>(WM_PAINT), OnClicked<&CMyDlg::OnAdd>(IDC_ADD).
template <auto Handler> constexpr MessageEntry OnMessage(UINT message) {
    return {message, 0, 0, &message_detail::Invoke<Handler>};
}
template <auto Handler> constexpr MessageEntry OnCommand(UINT id) {
    return {WM_COMMAND, 0, id, &message_detail::Invoke<Handler>};
}
template <auto Handler> constexpr MessageEntry OnClicked(UINT id) {
    return {WM_COMMAND, BN_CLICKED, id, &message_detail::Invoke<Handler>};
}

// Base of everything that owns a message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the table's handler for the message; false when the table has none.
    bool DispatchFromTable(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    virtual MessageMap GetMessageMap() const { return {}; }
};
