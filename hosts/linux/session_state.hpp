// The Linux session's state: one record for the process, whatever its display system (the command
// line, the animation and the user's scripts, the pacing, the --fps figures, why the run ends).
// What the session does with it is in session.hpp, the scripts' part in script.hpp.
#pragma once

#include <cstdint>

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "frame/saver_input.hpp"
#include "hosts/linux/clock.hpp"
#include "hosts/linux/fps_count.hpp"
#include "hosts/linux/options.hpp"
#include "hosts/linux/power_source.hpp"
#include "hosts/linux/rotation.hpp"
#include "hosts/linux/script_watch.hpp"

namespace lumenweave::linux {

// Why a run ends; none while it goes on.
enum class quit_reason {
    none,
    stop_signal,    // SIGTERM, SIGINT or SIGHUP
    window_closed,  // window mode: the master window closed (Escape, Q, the window manager)
    window_gone,    // a daemon's window destroyed under the program
    input,          // --saver: a key, a button or a pointer move
    output_gone,    // Wayland --saver --output: that output unplugged
    locker_closed,  // Wayland --lock-background: the locker closed the connection it handed over
    failed,         // reported on standard error; the exit code is 1
};

// The session's whole state: one record for the process, which the entry owns.
struct session_t {
    options_t options;
    uint32_t seed = 0;                // the engine's seed, which a changed script starts from again
    frame::Engine engine;             // the animation, drawn into the master
    uint64_t engine_frame = 0;        // steps the engine has taken on the script shown
    rotation_t rotation;              // the user's scripts, and whose turn it is
    drawlist::draw_list_t draw_list;  // the last frame, replayed into every other surface
    pacing_t pacing;  // the drawing rate and the step clock; set_frame_rate changes the rate
    fps_count_t fps;  // --fps: the readout's figures
    // --saver: the move rule's point, in root window coordinates (X11) or the compositor's space
    // (Wayland).
    frame::pointer_watch saver_pointer;
    script_watch_t script_watch;
    power_source_t power;  // mains or battery: --frame-rate or --battery-frame-rate
    bool resting = false;  // nothing can be seen: no drawing, no steps (visibility.hpp)
    quit_reason quit = quit_reason::none;
};

// Forgets the time elapsed: the next frame takes one step, without catching up (after a pause).
inline void restart_step_clock(session_t& session) {
    session.pacing.steps = frame::step_clock_t{};
}

}  // namespace lumenweave::linux
