// What the Linux host's files share: the host's state record, the command-line options, the
// failure kinds and the functions that cross between start-up, windows, GLX, pacing and the
// readout. Only hosts/x11/ includes this; the core never sees Xlib.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "frame/pacing.hpp"
#include "frame/saver_input.hpp"
#include "hosts/linux/fps_count.hpp"
#include "hosts/linux/options.hpp"
#include "hosts/linux/clock.hpp"

namespace lumenweave_x11 {

// The test build (lumenweave-test) logs its frames and what it judged on standard output, and
// takes the hold of hosts/linux/test_hold.hpp; the program proper does neither. The host's
// libraries say which they are; the logic tests that include this file are neither.
#ifndef LUMENWEAVE_X11_FRAME_LOG
#define LUMENWEAVE_X11_FRAME_LOG 0
#endif
constexpr bool frame_log = LUMENWEAVE_X11_FRAME_LOG != 0;

// The command line is the Linux program's (hosts/linux/options.hpp).
using lumenweave_linux::argument_fault;
using lumenweave_linux::options_t;
using lumenweave_linux::parse_options;
using lumenweave_linux::parse_window_id;
using lumenweave_linux::print_usage;
using lumenweave_linux::print_usage_error;
using lumenweave_linux::run_mode;
// The clock, the pacing on it and the stop signals (hosts/linux/clock.hpp).
using lumenweave_linux::install_stop_signals;
using lumenweave_linux::monotonic_ns;
using lumenweave_linux::pacing_t;
using lumenweave_linux::sleep_until;
using lumenweave_linux::stop_requested;

// Every way the program can fail; the texts are in one table (failure.cpp).
enum class failure_kind {
    no_display,
    no_glx,
    bad_window_variable,
    no_such_window,
    visual_without_gl,
    no_config,
    no_context,
    cannot_make_current,
    cannot_create_window,
    x_request_failed,
    connection_lost,
    script_unreadable,            // the built-in script runs instead
    script_has_problems,          // the built-in script runs instead
    script_unwatched,             // changes to the script are not picked up
    changed_script_unreadable,    // the running script goes on
    changed_script_has_problems,  // the running script goes on
};

// One window the host draws into: the master first, then the mirrors.
struct surface_t {
    Window window = 0;
    // The window as a GLX drawable of its own, so that it stays known to GLX, with its buffers,
    // while another window's is current.
    GLXWindow drawable = 0;
    bool master = false;
    bool owned = false;       // created by this program (window mode), not handed over
    uint32_t width = 0;       // pixels
    uint32_t height = 0;      // pixels
    bool closing = false;     // to be destroyed after this round of events
    bool fullscreen = false;  // as last asked of the window manager
};

// The frames-per-second readout: font display lists and the last second's figures.
struct fps_overlay_t {
    bool enabled = false;
    GLuint list_base = 0;  // display lists of characters 32..127, 0 without a font
    int advance = 0;       // pixels from one character to the next (a fixed font)
    lumenweave_linux::fps_count_t count;
};

// The host's whole state: one record for the process.
struct host_t {
    options_t options;
    Display* display = nullptr;
    int screen = 0;
    GLXFBConfig config = nullptr;
    GLXContext context = nullptr;
    GLXWindow current = 0;           // the drawable the context is current on, 0 for none
    Colormap colormap = 0;           // window mode: for the windows it creates
    bool swap_interval_ext = false;  // per-drawable swap interval through GLX_EXT_swap_control
    Atom wm_protocols = 0;
    Atom wm_delete_window = 0;
    Atom net_wm_state = 0;
    Atom net_wm_state_fullscreen = 0;
    std::vector<surface_t> surfaces;  // master first
    bool master_closed = false;       // window mode: the run ends with 0
    bool target_gone = false;         // saver mode: the window was destroyed; the run ends with 0
    bool input_ended = false;         // --saver: a key, button or move ended the run with 0
    bool keyboard_grabbed = false;    // --saver
    bool pointer_grabbed = false;     // --saver
    pointer_watch saver_pointer;      // --saver: the move rule's point, in root window coordinates
    int randr_event_base = 0;         // --saver: XRandR's first event code, 0 without XRandR
    pacing_t pacing;
    fps_overlay_t overlay;
    Engine engine;              // the animation, drawn into the master
    uint64_t engine_frame = 0;  // frames the engine has drawn in this run
    uint32_t seed = 0;          // the engine's seed, which a changed script starts from again
    int script_watch = -1;      // inotify descriptor on the script's folder; -1: none
    const char* script_name = nullptr;  // the script's file name within that folder
    draw_list_t draw_list;              // the master's last frame, replayed into the mirrors
};

// Failures (failure.cpp): one line on standard error.
void report_failure(failure_kind kind, const char* detail = nullptr);

// The X connection and its errors (x11_display.cpp).
bool open_display(host_t& host);
// Installs the handlers that record X errors instead of printing them and end the program
// quietly on a lost connection.
void install_x_error_handlers();
// An X error as recorded by the handler.
struct x_error_t {
    unsigned char code = 0;     // X error code, 0 for none
    unsigned char request = 0;  // major opcode of the failed request
    XID resource = 0;
};
// Whether an X error has come in since take_x_error last ran; no round trip to the server.
bool x_error_seen();
// The first X error since the last call (code 0 when none); XSync first so that all are in.
x_error_t take_x_error(Display* display);
// Whether WINDOW exists, with any error it raises swallowed.
bool window_exists(Display* display, Window window, XWindowAttributes* attributes);
void close_display(host_t& host);

// GLX (glx_context.cpp).
// The frame-buffer configuration whose visual is VISUAL, double-buffered if there is one.
bool choose_config_for_visual(host_t& host, VisualID visual);
// A double-buffered RGBA configuration for windows the program creates.
bool choose_config_for_new_windows(host_t& host);
bool create_context(host_t& host);
// Makes the window of SURFACE a GLX drawable; false if GLX refused it.
bool create_drawable(host_t& host, surface_t& surface);
// A window of the configuration's visual (and the program's colormap) at X, Y, WIDTH x HEIGHT
// pixels on the root, with ATTRIBUTES of MASK besides; 0 if it could not be made.
Window create_gl_window(host_t& host, int x, int y, uint32_t width, uint32_t height,
                        XSetWindowAttributes attributes, unsigned long mask);
// Adds WINDOW, made by the program and WIDTH x HEIGHT pixels, as a surface with its drawable;
// destroys the window and returns false if GLX refused it.
bool add_own_surface(host_t& host, Window window, bool master, uint32_t width, uint32_t height);
void destroy_drawable(host_t& host, surface_t& surface);
// Asks for one swap per vertical blank on SURFACE where GLX offers it.
void set_swap_interval(host_t& host, const surface_t& surface);
// Makes the context current on SURFACE unless it already is.
bool make_current(host_t& host, const surface_t& surface);
void destroy_context(host_t& host);

// Window mode (x11_window.cpp).
bool create_master_window(host_t& host);
// Handles every queued event of window mode: keys, closes, sizes.
void handle_window_events(host_t& host);

// Saver mode (x11_saver.cpp).
// Resolves the target window, checks it and follows its size; false after reporting a failure.
bool adopt_saver_window(host_t& host);
void handle_saver_events(host_t& host);

// --saver (x11_monitors.cpp): a window on every monitor, ending on input.
bool create_monitor_windows(host_t& host);
void handle_monitor_events(host_t& host);

// The core (core.cpp): every call into the engine, the draw list and the view.
// Starts the engine on the user's script if it reads and checks clean, else on the built-in one.
void core_start(host_t& host);
// Reads the user's script again: clean, it replaces the running one with a fresh engine of the
// same seed; otherwise its problems are reported and the running one goes on.
void core_reload_script(host_t& host);
// Draws the next frame into the current context, recording it when mirrors are open.
void core_draw_master(host_t& host);
void core_draw_mirror(const host_t& host);
void core_view(uint32_t width, uint32_t height);

// Live editing of the user's script (script_watch.cpp).
// Watches the folder of options.script_path; reports why not when it cannot.
void start_script_watch(host_t& host);
// Whether the script was written or replaced since the last call; never waits.
bool script_changed(host_t& host);
void stop_script_watch(host_t& host);

// The readout (fps_overlay.cpp).
void init_fps_overlay(host_t& host);
// Draws the readout into the current context over a WIDTH x HEIGHT window.
void draw_fps_overlay(const fps_overlay_t& overlay, uint32_t width, uint32_t height);

// The frame loop (frame_loop.cpp): runs until a stop; returns the exit code.
int run_frames(host_t& host);

}  // namespace lumenweave_x11
