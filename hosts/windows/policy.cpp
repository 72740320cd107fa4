// Display-mode cycle and mouse check of the host.
#include "hosts/windows/policy.hpp"

using namespace lumenweave;

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

mouse_verdict mouse_check(frame::pointer_watch& state, int cursor_x, int cursor_y,
                          bool previewing) {
    const frame::pointer_step step = watch_pointer(state, cursor_x, cursor_y);
    mouse_verdict verdict;
    verdict.allow_close = !step.first && !previewing;
    verdict.post_close = step.away;
    return verdict;
}

}  // namespace saver
