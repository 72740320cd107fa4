// The Linux session: the one shape of a run of the Linux program, which hosts/x11/ and
// hosts/wayland/ fill in, its wait, its pacing and the frame both hosts draw.
#pragma once

#include <cstdint>

#include "hosts/linux/session_state.hpp"

namespace lumenweave::linux {

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

// What ended a wait.
enum class wake_reason {
    deadline,      // the deadline passed with nothing to read
    display,       // the connection has something to read (or its end, which reading finds)
    display_lost,  // the connection broke with nothing left to read
    stop,          // a stop signal came
    paced,         // the frame rate changed meanwhile (set_frame_rate): the deadline is stale
};

// The session's wait, for both hosts: until DEADLINE_NS on the monotonic clock (0: no deadline)
// for the first of something to read on DISPLAY_FD, a stop signal, a change of the frame rate.
// Meanwhile it decides what the wait reports of the rest: a saved script runs (or is reported),
// a change of power supply between mains and battery changes the frame rate. A deadline already
// past still looks at each once.
wake_reason wait_for(session_t& session, int display_fd, int64_t deadline_ns);

// Whether the run is over: a quit reason set, or a stop signal come, which it then records.
bool run_over(session_t& session);

// Draws RATE frames a second from the next frame on (1 to 240); 0 keeps the last picture still:
// no steps and no wake-ups for frames until a rate above 0 comes, whose first frame takes one
// step; meanwhile the hosts draw the picture again only into a surface that lacks it (the first
// frame, an exposure, a new size or surface). Safe to call at any time on the frame loop's thread
// (from within its wait).
void set_frame_rate(session_t& session, int rate);

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

}  // namespace lumenweave::linux
