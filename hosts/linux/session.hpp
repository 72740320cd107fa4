// The Linux session: what a run of the Linux program holds whatever its display system (the
// command line, the animation and the user's script, the pacing, the --fps figures, why the run
// ends) and the one shape of a run, which hosts/x11/ and hosts/wayland/ fill in.
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

namespace lumenweave::linux_session {

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

// What a display system does in a run; hosts/x11/ and hosts/wayland/ each have one.
class display_host {
  public:
    virtual ~display_host() = default;
    // Connects, makes the surfaces and an OpenGL context; false after reporting why.
    virtual bool open() = 0;
    // Draws and presents frames until the session's quit reason is set.
    virtual void run_frames() = 0;
    // Releases what open made, also after it failed.
    virtual void close() = 0;
};

// Runs HOST on SESSION, whose options are set and scripts read (read_scripts in script.hpp): the
// stop signals, the display, the animation on the user's script, the frames; returns the exit
// code.
int run_session(session_t& session, display_host& host);

// Whether the run is over: a quit reason set, or a stop signal come, which it then records.
bool run_over(session_t& session);

// Draws RATE frames a second from the next frame on (1 to 240); 0 keeps the last picture still:
// no steps and no wake-ups for frames until a rate above 0 comes, whose first frame takes one
// step; meanwhile the hosts draw the picture again only into a surface that lacks it (the first
// frame, an exposure, a new size or surface). Safe to call at any time on the frame loop's thread
// (from within its wait).
void set_frame_rate(session_t& session, int rate);

// Forgets the time elapsed: the next frame takes one step, without catching up (after a pause).
void restart_step_clock(session_t& session);

// The steps of the animation the frame starting at NOW takes: 60 a second of elapsed time
// whatever the drawing rate (frame/pacing.hpp). The test build holds the animation at the step
// LUMENWEAVE_HOLD_STEP names: from there on, 0. A script whose turn in the rotation is over is
// followed first by the next, started afresh: that frame takes its first step.
int take_steps(session_t& session, int64_t now);

// The earliest time the next frame may start: the drawing deadline, or the next step's time if
// later, since a frame with no step would show the same picture again; 0: at once.
int64_t next_frame_time(const session_t& session);

// The frame both hosts draw into the current OpenGL context over WIDTH x HEIGHT pixels: the
// animation STEPS (at least 1) further, only the last step recorded, for the other surfaces...
void draw_next_frame(session_t& session, int steps, uint32_t width, uint32_t height);
// ... or the last one again, as the other surfaces show it.
void draw_last_frame(const session_t& session, uint32_t width, uint32_t height);
// The animation STEPS further, the last step recorded for the other surfaces without being drawn,
// while the surface that draws it is not shown.
void record_next_frame(session_t& session, int steps);

}  // namespace lumenweave::linux_session
