// The X connection: opening it, the atoms the host uses, and X errors, which are recorded for the
// frame loop to judge rather than printed, since a saver's window may vanish at any moment.
#include <unistd.h>

#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

// The first error since the frame loop last looked; Xlib calls the handler outside any signal.
x_error_t first_error;

int record_x_error(Display*, XErrorEvent* event) {
    if (first_error.code == 0) {
        first_error.code = event->error_code;
        first_error.request = event->request_code;
        first_error.resource = event->resourceid;
    }
    return 0;
}

// Xlib ends the process itself if this returns, after printing its own report; end first, in one
// line. _exit, because exit handlers of the GL library would talk to the lost server.
int connection_lost(Display*) {
    report_failure(failure_kind::x_connection_lost);
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void install_x_error_handlers() {
    XSetErrorHandler(record_x_error);
    XSetIOErrorHandler(connection_lost);
}

bool open_display(host_t& host) {
    host.display = XOpenDisplay(nullptr);
    if (host.display == nullptr) {
        report_failure(failure_kind::no_x_display);
        return false;
    }
    host.screen = DefaultScreen(host.display);
    int error_base = 0;
    int event_base = 0;
    if (!glXQueryExtension(host.display, &error_base, &event_base)) {
        report_failure(failure_kind::no_glx);
        return false;
    }
    host.wm_protocols = XInternAtom(host.display, "WM_PROTOCOLS", False);
    host.wm_delete_window = XInternAtom(host.display, "WM_DELETE_WINDOW", False);
    host.net_wm_state = XInternAtom(host.display, "_NET_WM_STATE", False);
    host.net_wm_state_fullscreen = XInternAtom(host.display, "_NET_WM_STATE_FULLSCREEN", False);
    return true;
}

bool x_error_seen() {
    return first_error.code != 0;
}

x_error_t take_x_error(Display* display) {
    XSync(display, False);
    const x_error_t taken = first_error;
    first_error = {};
    return taken;
}

bool window_exists(Display* display, Window window, XWindowAttributes* attributes) {
    XWindowAttributes own;
    XWindowAttributes* into = attributes != nullptr ? attributes : &own;
    take_x_error(display);
    const Status status = XGetWindowAttributes(display, window, into);
    return status != 0 && take_x_error(display).code == 0;
}

void close_display(host_t& host) {
    if (host.display == nullptr) {
        return;
    }
    destroy_context(host);
    for (surface_t& surface : host.surfaces) {
        destroy_drawable(host, surface);
        if (surface.owned && surface.window != 0) {
            XDestroyWindow(host.display, surface.window);
        }
    }
    host.surfaces.clear();
    if (host.colormap != 0) {
        XFreeColormap(host.display, host.colormap);
    }
    XCloseDisplay(host.display);
    host.display = nullptr;
}

}  // namespace lumenweave::x11
