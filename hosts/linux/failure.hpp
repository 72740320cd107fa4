// Every way the Linux program can fail, on X11 or on Wayland, and the one form of its failure
// lines on standard error: "lumenweave: TEXT" or "lumenweave: TEXT: DETAIL".
#pragma once

namespace lumenweave::linux {

// The texts are in one table (failure.cpp), which the build holds to this list.
enum class failure_kind {
    // The user's script (the session).
    script_unreadable,            // the built-in script runs instead
    script_has_problems,          // the built-in script runs instead
    script_unwatched,             // changes to the script are not picked up
    changed_script_unreadable,    // the running script goes on
    changed_script_has_problems,  // the running script goes on
    // The scripts of a rotation and share links, read before the display opens; those marked
    // "exit 2" end the run as a usage error does.
    not_a_link,                  // exit 2
    damaged_link,                // exit 2
    empty_link,                  // exit 2
    long_link,                   // exit 2
    link_seed_refused,           // --seed or the clock gives the seed instead
    link_has_problems,           // a link alone; exit 2
    listed_script_unreadable,    // left out of the rotation
    listed_script_has_problems,  // left out of the rotation
    empty_folder,                // exit 2
    no_sound_script,             // exit 2
    no_context,
    // The command line against the display system chosen; exit 2.
    modes_need_x11,
    output_needs_wayland,
    lock_background_needs_wayland,
    saver_running,  // not a failure: the display is already covered, the run ends with 0
    // X11.
    no_x_display,
    no_glx,
    bad_window_variable,
    no_such_window,
    visual_without_gl,
    no_config,
    cannot_make_current,
    cannot_create_window,
    x_request_failed,
    x_connection_lost,
    no_fixed_font,  // the --fps readout is left out
    // Wayland.
    no_wayland_display,
    bad_wayland_socket,  // the detail is WAYLAND_SOCKET's value
    no_layer_shell,
    no_xdg_shell,
    no_compositor,
    no_egl,
    cannot_create_surface,
    no_such_output,  // --output: the detail names it and the outputs there are
    output_awaited,  // not a failure: --lock-background waits for its output, named in the detail
    wayland_connection_lost,  // the last: failure.cpp checks its table up to here
};

// One line on standard error: the text of KIND, with DETAIL (the path, the window) if any.
void report_failure(failure_kind kind, const char* detail = nullptr);

}  // namespace lumenweave::linux
