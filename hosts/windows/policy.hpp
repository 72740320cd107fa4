// Small decisions of the host that need no window: the display-mode cycle and the screensaver's
// mouse check. Kept free of Windows calls so they are testable.
#pragma once

#include "frame/saver_input.hpp"

namespace saver {

// How the figure is shown: the application's F steps through these; the screensaver covers the
// virtual screen.
enum class display_kind {
    windowed,        // a 640 x 480 window
    monitor,         // the master covers its monitor
    virtual_screen,  // the master covers every monitor
    per_monitor,     // the master covers the first monitor, a clone each further one
};

// With a single monitor the cycle is windowed, monitor, windowed, ...; with several it walks all
// four in order.
display_kind next_display_mode(display_kind mode, int monitor_count);

// Hiding the cursor again while it is already hidden would pile up ShowCursor's counter, so a
// hide is only made while the last count is not negative.
inline bool cursor_needs_hiding(int cursor_display_count) {
    return cursor_display_count >= 0;
}

// Mouse movement in screensaver mode, by the saver's move rule (frame/saver_input.hpp). The
// first move of a run only arms the close; after that a move of more than 4 pixels (horizontal
// plus vertical) from the saved point ends the run. The point counts as placed from the start:
// at the cursor when the screensaver's window opens, at the screen's origin before that.

struct mouse_verdict {
    bool allow_close = false;  // set the close-allowed flag
    bool post_close = false;   // post WM_CLOSE to the window
};

mouse_verdict mouse_check(lumenweave::frame::pointer_watch& state, int cursor_x, int cursor_y,
                          bool previewing);

}  // namespace saver
