// Saver mode on X11: drawing into a window that a screen-saver daemon (or the user) hands over,
// with the window's own visual, following its size and ending when it is destroyed. Input is left
// to whoever owns the window.
#include <cstdio>
#include <cstdlib>

#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

// The window named by XSCREENSAVER_WINDOW, or the root window when it is unset; 0 after
// reporting a value that is no window id.
Window root_mode_target(const host_t& host) {
    const char* variable = std::getenv("XSCREENSAVER_WINDOW");
    if (variable == nullptr || variable[0] == '\0') {
        return RootWindow(host.display, host.screen);
    }
    Window window = 0;
    if (!parse_window_id(variable, window)) {
        report_failure(failure_kind::bad_window_variable, variable);
        return 0;
    }
    return window;
}

}  // namespace

bool adopt_saver_window(host_t& host) {
    const Window window = host.session.options.mode == run_mode::saver_root
                              ? root_mode_target(host)
                              : host.session.options.window_id;
    if (window == 0) {
        return false;
    }
    char id_text[32];
    std::snprintf(id_text, sizeof id_text, "0x%lx", window);
    XWindowAttributes attributes;
    if (!window_exists(host.display, window, &attributes)) {
        report_failure(failure_kind::no_such_window, id_text);
        return false;
    }
    if (attributes.c_class == InputOnly ||
        !choose_config_for_visual(host, XVisualIDFromVisual(attributes.visual))) {
        report_failure(failure_kind::visual_without_gl, id_text);
        return false;
    }
    // Structure, exposure and visibility events only: many clients may select them on one window,
    // and the daemon keeps the input events for itself.
    XSelectInput(host.display, window, StructureNotifyMask | ExposureMask | VisibilityChangeMask);
    surface_t surface;
    surface.window = window;
    surface.master = true;
    surface.width = static_cast<uint32_t>(attributes.width);
    surface.height = static_cast<uint32_t>(attributes.height);
    // The window may have gone between the check and here.
    if (!create_drawable(host, surface)) {
        report_failure(window_exists(host.display, window, nullptr)
                           ? failure_kind::visual_without_gl
                           : failure_kind::no_such_window,
                       id_text);
        return false;
    }
    host.surfaces.push_back(surface);
    return true;
}

void handle_saver_events(host_t& host) {
    while (XPending(host.display) > 0) {
        XEvent event;
        XNextEvent(host.display, &event);
        if (follow_sight_event(host, event)) {
            continue;
        }
        surface_t& surface = host.surfaces[0];
        if (event.xany.window != surface.window) {
            continue;
        }
        if (event.type == ConfigureNotify) {
            surface.width = static_cast<uint32_t>(event.xconfigure.width);
            surface.height = static_cast<uint32_t>(event.xconfigure.height);
            host.picture_wanted = true;
        } else if (event.type == Expose) {
            host.picture_wanted = true;
        } else if (event.type == DestroyNotify) {
            host.session.quit = quit_reason::window_gone;
        }
    }
}

}  // namespace lumenweave::x11
