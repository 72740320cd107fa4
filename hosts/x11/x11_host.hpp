// What the X11 host's files share: the host's state record, its part of a run, and the functions
// that cross between windows, GLX, the frame loop and the readout. Only hosts/x11/ includes this;
// the core never sees Xlib.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "hosts/linux/failure.hpp"
#include "hosts/linux/frame_log.hpp"
#include "hosts/linux/session.hpp"
#include "hosts/linux/visibility.hpp"
#include "hosts/linux/window_roles.hpp"

namespace lumenweave::x11 {

// What the Linux session gives the X11 host (hosts/linux/).
using linux::failure_kind;
using linux::frame_log;
using linux::log_event;
using linux::log_item;
using linux::monotonic_ns;
using linux::parse_window_id;
using linux::quit_reason;
using linux::report_failure;
using linux::run_mode;
using linux::session_t;

// One window the host draws into: the master first, then the clones.
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
    // What the server says of whether it can be seen.
    linux::sight_t sight;
};

// What the host follows to tell whether anything it draws can be seen (x11_visibility.cpp): the
// windows' state atoms and the monitors' power (DPMS).
struct sight_watch_t {
    Atom wm_state = 0;
    Atom net_wm_state_hidden = 0;
    int dpms_opcode = 0;         // the DPMS extension's major opcode, 0 without the extension
    bool dpms_notifies = false;  // DPMS 1.2: the server sends DPMSInfoNotify on each change
    linux::dpms_facts_t dpms;
    int64_t dpms_asked_ns = 0;           // without the notification: when DPMSInfo was last asked
    std::vector<linux::sight_t> sights;  // the surfaces', for the decision
};

// The frames-per-second readout: font display lists; its figures are the session's.
struct fps_readout_t {
    bool enabled = false;
    GLuint list_base = 0;  // display lists of characters 32..127, 0 without a font
    int advance = 0;       // pixels from one character to the next (a fixed font)
};

// The host's whole state: one record for the process, and its part of the session's run.
struct host_t final : linux::display_host {
    explicit host_t(session_t& run) : session(run) {}
    bool open() override;
    void run_frames() override;
    void close() override;

    session_t& session;  // the command line, the animation, the pacing, why the run ends
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
    bool keyboard_grabbed = false;    // --saver
    bool pointer_grabbed = false;     // --saver
    int randr_event_base = 0;         // --saver: XRandR's first event code, 0 without XRandR
    // At frame rate 0: a window lacks the current picture (the first frame, an exposure, a new
    // size or monitor), which the loop then draws once into every window.
    bool picture_wanted = true;
    fps_readout_t readout;
    sight_watch_t sight;
};

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

// Saver mode (x11_daemon_window.cpp).
// Resolves the target window, checks it and follows its size; false after reporting a failure.
bool adopt_saver_window(host_t& host);
void handle_saver_events(host_t& host);

// --saver (x11_saver_windows.cpp): a window on every monitor, ending on input.
bool create_monitor_windows(host_t& host);
void handle_monitor_events(host_t& host);

// Whether anything can be seen (x11_visibility.cpp).
// Starts following the monitors' power, and reads whether a window handed over is mapped.
void watch_sight(host_t& host);
// Takes EVENT if it tells of visibility or monitor power; every mode's event loop offers each.
bool follow_sight_event(host_t& host, const XEvent& event);
// While nothing the host draws can be seen (windows minimised, unmapped or covered, monitors
// powered down), waits for the server to say something and returns true: the frame loop then goes
// round again without drawing or stepping. False when something can be seen.
bool rest_while_unseen(host_t& host);

// The readout (x11_fps_readout.cpp).
void init_fps_readout(host_t& host);
// Draws the readout of COUNT into the current context over a WIDTH x HEIGHT window.
void draw_fps_readout(const fps_readout_t& readout, const linux::fps_count_t& count, uint32_t width,
                      uint32_t height);

}  // namespace lumenweave::x11
