// What the Wayland host's files share: its state record (the compositor's globals, the outputs,
// the seat, the surfaces, EGL), its part of a run, and the functions that cross between them.
// Only hosts/wayland/ includes this.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hosts/linux/failure.hpp"
#include "hosts/linux/frame_log.hpp"
#include "hosts/linux/session.hpp"
#include "hosts/linux/window_roles.hpp"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace lumenweave::wayland {

// What the Linux session gives the Wayland host (hosts/linux/).
using linux::failure_kind;
using linux::frame_log;
using linux::log_event;
using linux::log_item;
using linux::monotonic_ns;
using linux::quit_reason;
using linux::report_failure;
using linux::run_mode;
using linux::session_t;

struct output_t {
    wl_output* output = nullptr;
    zxdg_output_v1* xdg_output = nullptr;  // its place in the compositor's space
    uint32_t name = 0;                     // the registry's name of the global
    int32_t x = 0;                         // compositor space, pixels
    int32_t y = 0;                         // compositor space, pixels
    int32_t scale = 1;                     // buffer pixels per compositor pixel
    std::string label;                     // the compositor's name for it, e.g. HEADLESS-1
    bool removed = false;
};

// How a surface came to be on the screen.
enum class surface_role { layer, toplevel };

// One surface the host draws into: the master first (the first output's, or the window), then
// the ones that replay its frame.
struct surface_t {
    surface_role role = surface_role::layer;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;  // layer role
    xdg_surface* xdg = nullptr;              // toplevel role
    xdg_toplevel* toplevel = nullptr;        // toplevel role
    output_t* output = nullptr;              // layer role: the output it covers
    output_t* shown_on =
        nullptr;  // toplevel role: the output it last entered, whose scale it takes
    wl_egl_window* egl_window = nullptr;      // made at the first configure
    EGLSurface egl_surface = EGL_NO_SURFACE;  // made at the first configure
    wl_callback* frame_callback = nullptr;    // outstanding: the compositor has not asked again
    uint32_t width = 0;                       // buffer pixels, which the figure is drawn in
    uint32_t height = 0;                      // buffer pixels
    uint32_t logical_width = 0;               // compositor pixels, as last configured
    uint32_t logical_height = 0;              // compositor pixels
    int32_t scale = 1;                        // buffer pixels per compositor pixel
    bool configured = false;
    // At frame rate 0: new or resized since the current picture was last drawn into it.
    bool picture_wanted = true;
    bool fullscreen = false;  // toplevel role: as last configured
    bool closing = false;     // to be destroyed after this round of events
};

// The host's whole state: one record for the process, and its part of the session's run.
struct host_t final : linux::display_host {
    explicit host_t(session_t& run) : session(run) {}
    bool open() override;
    void run_frames() override;
    void close() override;

    session_t& session;  // the command line, the animation, the pacing, why the run ends
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layer_shell = nullptr;
    xdg_wm_base* wm_base = nullptr;
    zxdg_output_manager_v1* output_manager = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* key_state = nullptr;
    wl_surface* keyboard_focus = nullptr;              // window mode: where keys go
    wl_surface* pointer_focus = nullptr;               // saver: the surface the pointer is over
    std::vector<std::unique_ptr<output_t>> outputs;    // in the order the compositor named them
    std::vector<std::unique_ptr<surface_t>> surfaces;  // master first
    bool started = false;  // the start's round trips are over: outputs from now on are new ones
    EGLDisplay egl_display = EGL_NO_DISPLAY;
    EGLConfig egl_config = nullptr;
    EGLContext egl_context = EGL_NO_CONTEXT;
    EGLSurface current = EGL_NO_SURFACE;  // the surface the context is current on
    int64_t asked_ns = 0;  // monotonic_ns() when a surface last had a frame to draw; 0 before
};

// Whether the run covers outputs with layer surfaces (--saver, --lock-background) rather than
// opening a window.
inline bool covers_outputs(const host_t& host) {
    return host.session.options.mode == run_mode::saver ||
           host.session.options.mode == run_mode::lock_background;
}

// A locker's background program takes what the locker offers and nothing more: no seat, no
// window shell.
inline bool lock_background(const host_t& host) {
    return host.session.options.mode == run_mode::lock_background;
}

// The master is the first surface.
inline bool is_master(const host_t& host, const surface_t& surface) {
    return !host.surfaces.empty() && host.surfaces[0].get() == &surface;
}

// For the log: "master" or "clone", and the name of the output the surface covers or was last
// shown on ("-" before it is known).
inline const char* role_of(const host_t& host, const surface_t& surface) {
    return linux::role_name(is_master(host, surface));
}
inline const char* label_of(const surface_t& surface) {
    const output_t* output = surface.output != nullptr ? surface.output : surface.shown_on;
    return output != nullptr && !output->label.empty() ? output->label.c_str() : "-";
}

// Registry, outputs and seat (wl_globals.cpp).
void listen_to_registry(host_t& host);
// Whether OUTPUT is one the saver covers: every one, or the one --output names.
bool chosen(const host_t& host, const output_t& output);
// Saver: a layer surface on OUTPUT once the run has started, if it is chosen and has none.
void cover_output(host_t& host, output_t& output);
// Asks for the place of every output that does not know it yet.
void locate_outputs(host_t& host);
// Destroys the outputs, the seat, the shells, the compositor and the registry.
void release_globals(host_t& host);

// Surfaces and EGL (wl_surfaces.cpp).
bool start_egl(host_t& host);
// Saver: a layer surface on OUTPUT.
bool add_layer_surface(host_t& host, output_t& output);
// Window mode: a toplevel, the master or a clone.
bool add_toplevel(host_t& host, bool master);
void toggle_fullscreen(surface_t& surface);
// Destroys the surfaces marked closing and those on removed outputs, and removed outputs.
void remove_closed_surfaces(host_t& host);
surface_t* surface_of(host_t& host, wl_surface* surface);
// Sizes the buffers of the surfaces on OUTPUT anew after its scale changed.
void follow_output_scale(output_t& output);
bool make_current(host_t& host, const surface_t& surface);
void stop_egl(host_t& host);

// Input (wl_input.cpp): follows the seat's keyboard and pointer as they come and go.
void follow_seat_capabilities(host_t& host, uint32_t capabilities);
void release_input(host_t& host);

// Whether anything can be seen (wl_visibility.cpp).
// The frame loop's turn before it draws: false when a surface may draw (ASKED: the compositor has
// asked it for a frame). Otherwise it waits for the compositor's next events and returns true, and
// the loop goes round again. A run none of whose surfaces has been asked for a frame for a second
// counts as unseen (covered, on another workspace, outputs powered off): the session rests, and
// the wait has no deadline. The output power protocol would tell of outputs powered off sooner,
// but its per-output object is exclusive: holding it would make a power tool (wlopm under
// swayidle) fail to switch the outputs off. A lost connection ends the run
// (end_on_lost_connection).
bool rest_unless_asked(host_t& host, bool asked);

// Waiting for the compositor (wl_wait.cpp), in the session's wait.
// How a wait with a deadline ends: at the deadline, or with the first events that come before.
enum class wait_end { deadline, first_events };
// Reads and dispatches the compositor's events until DEADLINE (0: until some arrive; with END
// first_events, until some arrive or the deadline passes), a stop signal or a lost connection;
// false when the connection is lost.
bool wait_for_events(host_t& host, int64_t deadline_ns, wait_end end = wait_end::deadline);
// Ends the run on a connection that is gone: a locker closing the one it handed over ends a lock
// background with 0 (it starts it again when it wants it); any other run reports it and ends
// with 1.
void end_on_lost_connection(host_t& host);

// The --fps readout (wl_fps_readout.cpp): drawn into the current context over WIDTH x HEIGHT.
void draw_fps_readout(const linux::fps_count_t& count, uint32_t width, uint32_t height);

}  // namespace lumenweave::wayland
