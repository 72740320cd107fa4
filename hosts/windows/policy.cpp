// Display-mode cycle and mouse check of the host.
#include "hosts/windows/policy.hpp"

#include <cstdlib>

namespace saver {

display_kind next_display_mode(display_kind mode, int monitor_count) {
    if (mode == display_kind::windowed) {
        return display_kind::monitor;
    }
    if (monitor_count == 1) {
        return display_kind::windowed;
    }
    switch (mode) {
        case display_kind::monitor:
            return display_kind::virtual_screen;
        case display_kind::virtual_screen:
            return display_kind::per_monitor;
        case display_kind::windowed:
        case display_kind::per_monitor:
            break;
    }
    return display_kind::windowed;
}

mouse_verdict mouse_check(mouse_state& state, int cursor_x, int cursor_y, bool previewing) {
    mouse_verdict verdict;
    if (!state.first_move_seen) {
        state.first_move_seen = true;
    } else if (!previewing) {
        verdict.allow_close = true;
    }
    const long distance = std::labs(static_cast<long>(state.saved_x) - cursor_x) +
                          std::labs(static_cast<long>(state.saved_y) - cursor_y);
    if (distance > 4) {
        verdict.post_close = true;
    } else {
        state.saved_x = cursor_x;
        state.saved_y = cursor_y;
    }
    return verdict;
}

}  // namespace saver
