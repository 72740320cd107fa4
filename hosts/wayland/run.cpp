// The Wayland host's part of a run: connects to the compositor, finds its globals, puts a layer
// surface on every output (--saver) or opens the window and starts EGL; at the end releases them.
#include "hosts/linux/display_hosts.hpp"
#include "hosts/wayland/host.hpp"

namespace lumenweave::wayland {

// Globals, EGL and the first surfaces; false after reporting what failed.
bool host_t::open() {
    display = wl_display_connect(nullptr);
    if (display == nullptr) {
        report_failure(failure_kind::no_wayland_display);
        return false;
    }
    xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    listen_to_registry(*this);
    // The second round trip brings the outputs' places and the seat's capabilities.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        report_failure(failure_kind::wayland_connection_lost);
        return false;
    }
    const bool saver = session.options.mode == run_mode::saver;
    if (compositor == nullptr) {
        report_failure(failure_kind::no_compositor);
        return false;
    }
    if (saver && layer_shell == nullptr) {
        report_failure(failure_kind::no_layer_shell);
        return false;
    }
    if (!saver && wm_base == nullptr) {
        report_failure(failure_kind::no_xdg_shell);
        return false;
    }
    if (!start_egl(*this)) {
        return false;
    }
    started = true;
    if (saver) {
        for (const std::unique_ptr<output_t>& output : outputs) {
            add_layer_surface(*this, *output);
        }
    } else {
        add_toplevel(*this, true);
    }
    return true;
}

void host_t::close() {
    if (display == nullptr) {
        return;
    }
    release_input(*this);
    stop_egl(*this);
    release_globals(*this);
    xkb_context_unref(xkb);
    wl_display_disconnect(display);
    display = nullptr;
}

}  // namespace lumenweave::wayland

// Declared in the session's namespace (display_hosts.hpp): the entry (choose_host.cpp) asks for it.
namespace lumenweave::linux_session {

display_host& wayland_host(session_t& session) {
    static wayland::host_t host(session);
    return host;
}

}  // namespace lumenweave::linux_session
