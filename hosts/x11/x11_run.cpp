// The X11 host's part of a run: opens the display, takes or makes the windows and starts GLX,
// and closes them all again at the end.
#include "hosts/linux/display_hosts.hpp"
#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {

// Display, windows and context; false after reporting what failed.
bool host_t::open() {
    install_x_error_handlers();
    if (!open_display(*this)) {
        return false;
    }
    const run_mode mode = session.options.mode;
    const bool have_window = mode == run_mode::window  ? create_master_window(*this)
                             : mode == run_mode::saver ? create_monitor_windows(*this)
                                                       : adopt_saver_window(*this);
    if (!have_window) {
        return false;
    }
    watch_sight(*this);
    if (!create_context(*this)) {
        report_failure(failure_kind::no_context);
        return false;
    }
    for (const surface_t& surface : surfaces) {
        set_swap_interval(*this, surface);
    }
    if (!make_current(*this, surfaces[0]) || take_x_error(display).code != 0) {
        report_failure(failure_kind::cannot_make_current);
        return false;
    }
    if (session.options.fps) {
        init_fps_readout(*this);
    }
    return true;
}

void host_t::close() {
    close_display(*this);
}

}  // namespace lumenweave::x11

// Declared in the session's namespace (display_hosts.hpp): the entry (choose_host.cpp) asks for it.
namespace lumenweave::linux {

display_host& x11_host(session_t& session) {
    static x11::host_t host(session);
    return host;
}

}  // namespace lumenweave::linux
