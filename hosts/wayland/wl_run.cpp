// The Wayland host's part of a run: connects to the compositor (or takes the connection a locker
// hands over), finds its globals, starts EGL, puts a layer surface on every output or the one
// named (--saver, --lock-background) or opens the window; at the end releases them.
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hosts/linux/display_hosts.hpp"
#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {

namespace {

// Whether WAYLAND_SOCKET, where set, is the number of an open socket. libwayland would take any
// open descriptor and fail only at the first request, in words that say nothing of the locker.
bool handed_socket_usable() {
    const char* handed = std::getenv("WAYLAND_SOCKET");
    if (handed == nullptr) {
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const long fd = std::strtol(handed, &end, 10);
    struct stat status = {};
    if (errno != 0 || end == handed || *end != '\0' || fd < 0 || fd > INT32_MAX ||
        fstat(static_cast<int>(fd), &status) != 0 || !S_ISSOCK(status.st_mode)) {
        report_failure(failure_kind::bad_wayland_socket, handed);
        return false;
    }
    return true;
}

// --output: whether an output of that name is there; if not, says so, naming the ones there are.
// A lock background waits for it instead: the locker names an output it has, which its server
// may describe a little later.
bool chosen_output_there(const host_t& host) {
    const char* wanted = host.session.options.output_name;
    if (wanted == nullptr) {
        return true;
    }
    std::string there;
    for (const std::unique_ptr<output_t>& output : host.outputs) {
        if (output->label == wanted) {
            return true;
        }
        there += (there.empty() ? "" : ", ") + output->label;
    }
    const std::string detail = std::string(wanted) + (there.empty() ? "; there are no outputs"
                                                                    : "; the outputs are " + there);
    if (lock_background(host)) {
        report_failure(failure_kind::output_awaited, detail.c_str());
        return true;
    }
    report_failure(failure_kind::no_such_output, detail.c_str());
    return false;
}

}  // namespace

// Globals, EGL and the first surfaces; false after reporting what failed. The start is on the way
// to the first frame: EGL, whose driver takes longest to load, starts while the compositor
// describes the outputs, the second round trip collecting what it said meanwhile.
bool host_t::open() {
    if (!handed_socket_usable()) {
        return false;
    }
    display = wl_display_connect(nullptr);
    if (display == nullptr) {
        report_failure(failure_kind::no_wayland_display);
        return false;
    }
    xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    listen_to_registry(*this);
    if (wl_display_roundtrip(display) < 0) {
        report_failure(failure_kind::wayland_connection_lost);
        return false;
    }
    const bool saver = covers_outputs(*this);
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
    // EGL's own round trip sends the outputs' bindings on its way.
    if (!start_egl(*this)) {
        return false;
    }
    // The outputs' names, scales and places, and the seat's capabilities.
    if (wl_display_roundtrip(display) < 0) {
        report_failure(failure_kind::wayland_connection_lost);
        return false;
    }
    if (!chosen_output_there(*this)) {
        return false;
    }
    started = true;
    if (saver) {
        for (const std::unique_ptr<output_t>& output : outputs) {
            cover_output(*this, *output);
        }
    } else {
        add_toplevel(*this, true);
    }
    // The surfaces' first commits go out now: the compositor's configures come back while the
    // session reads the script. A full socket sends them with the first wait instead.
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        report_failure(failure_kind::wayland_connection_lost);
        return false;
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
namespace lumenweave::linux {

display_host& wayland_host(session_t& session) {
    static wayland::host_t host(session);
    return host;
}

}  // namespace lumenweave::linux
