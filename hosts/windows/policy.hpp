// Small decisions of the host that need no window: the display-mode cycle, the screensaver's
// mouse check and the frame pacing arithmetic. Kept free of Windows calls so they are testable.
#pragma once

#include <cstdint>

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

// Mouse movement in screensaver mode. The first move of a run only arms the close; after that a
// move of more than 4 pixels (horizontal plus vertical) from the saved point ends the run.
struct mouse_state {
    bool first_move_seen = false;
    int saved_x = 0;
    int saved_y = 0;
};

struct mouse_verdict {
    bool allow_close = false;  // set the close-allowed flag
    bool post_close = false;   // post WM_CLOSE to the window
};

mouse_verdict mouse_check(mouse_state& state, int cursor_x, int cursor_y, bool previewing);

// Frame pacing with the performance counter: 16666 microseconds per frame.
constexpr int64_t frame_period_us = 16666;

int64_t frame_period_ticks(int64_t frequency);

// The present deadline of a frame whose drawing started at t0: one period after the previous
// frame's deadline (0 before the first frame), so that presenting and starting a frame take nothing
// from the frame rate. A frame starting a period or more after that point (the first frame, one
// after a pause, or after frames that overran) starts the chain afresh at t0 plus one period, never
// catching up with a burst of short frames. The result never lies later than t0 plus one period.
int64_t frame_deadline(int64_t previous_deadline, int64_t t0, int64_t period);

// Milliseconds to sleep in the wait call before the final spin of a frame that started at t0 (for
// a chained deadline: the deadline less one period) and was drawn by t1; 0 when the frame
// overran the period (or the counter went backwards) or less than a millisecond remains, in
// which case only the spin is left.
uint32_t frame_wait_ms(int64_t t0, int64_t t1, int64_t period, int64_t frequency);

}  // namespace saver
