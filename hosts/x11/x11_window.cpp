// Window mode on X11: the 640 x 480 master window, clone windows that replay its frame, full
// screen through the window manager, and the keys and closes that end windows or the run.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>

#include "frame/window.hpp"
#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

bool create_window(host_t& host, bool master) {
    XSetWindowAttributes attributes = {};
    // Visibility and the window manager's properties tell when it cannot be seen.
    attributes.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask |
                            VisibilityChangeMask | PropertyChangeMask;
    const Window window = create_gl_window(host, 0, 0, frame::application_width,
                                           frame::application_height, attributes, CWEventMask);
    if (window == 0) {
        return false;
    }
    const char* title = linux::window_title(master);
    XStoreName(host.display, window, title);
    XChangeProperty(host.display, window, XInternAtom(host.display, "_NET_WM_NAME", False),
                    XInternAtom(host.display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    XClassHint class_hint = {const_cast<char*>("lumenweave"), const_cast<char*>("Lumenweave")};
    XSetClassHint(host.display, window, &class_hint);
    Atom protocols[] = {host.wm_delete_window};
    XSetWMProtocols(host.display, window, protocols, 1);
    XMapWindow(host.display, window);
    return add_own_surface(host, window, master, frame::application_width,
                           frame::application_height);
}

surface_t* surface_of(host_t& host, Window window) {
    for (surface_t& surface : host.surfaces) {
        if (surface.window == window) {
            return &surface;
        }
    }
    return nullptr;
}

// Asks the window manager to toggle full screen; it picks the monitor the window is on.
void toggle_fullscreen(host_t& host, surface_t& surface) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = surface.window;
    event.xclient.message_type = host.net_wm_state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // _NET_WM_STATE_TOGGLE
    event.xclient.data.l[1] = static_cast<long>(host.net_wm_state_fullscreen);
    event.xclient.data.l[3] = 1;  // the request comes from an application
    XSendEvent(host.display, RootWindow(host.display, host.screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    surface.fullscreen = !surface.fullscreen;
}

void close_surface(host_t& host, surface_t& surface) {
    if (linux::close_window(host.session, surface.master)) {
        surface.closing = true;
    }
}

void handle_key(host_t& host, surface_t& surface, XKeyEvent& key) {
    switch (XLookupKeysym(&key, 0)) {
        case XK_Escape:
        case XK_q:
            close_surface(host, surface);
            break;
        case XK_f:
            toggle_fullscreen(host, surface);
            break;
        case XK_n:
            if (!create_window(host, false)) {
                report_failure(failure_kind::cannot_create_window, linux::role_name(false));
            }
            break;
        default:
            break;
    }
}

void remove_closed_clones(host_t& host) {
    for (surface_t& surface : host.surfaces) {
        if (!surface.closing) {
            continue;
        }
        // The master stays; the context must not be left on a drawable that goes.
        if (host.current == surface.drawable) {
            make_current(host, host.surfaces[0]);
        }
        destroy_drawable(host, surface);
        if (surface.window != 0) {
            XDestroyWindow(host.display, surface.window);
            surface.window = 0;
        }
    }
    host.surfaces.erase(std::remove_if(host.surfaces.begin(), host.surfaces.end(),
                                       [](const surface_t& s) { return s.closing; }),
                        host.surfaces.end());
}

}  // namespace

bool create_master_window(host_t& host) {
    if (!choose_config_for_new_windows(host)) {
        report_failure(failure_kind::no_config);
        return false;
    }
    if (!create_window(host, true)) {
        report_failure(failure_kind::cannot_create_window);
        return false;
    }
    return true;
}

void handle_window_events(host_t& host) {
    while (XPending(host.display) > 0) {
        XEvent event;
        XNextEvent(host.display, &event);
        if (follow_sight_event(host, event)) {
            continue;
        }
        surface_t* surface = surface_of(host, event.xany.window);
        if (surface == nullptr) {
            continue;
        }
        switch (event.type) {
            case KeyPress:
                handle_key(host, *surface, event.xkey);
                break;
            case ClientMessage:
                if (event.xclient.message_type == host.wm_protocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == host.wm_delete_window) {
                    close_surface(host, *surface);
                }
                break;
            case ConfigureNotify:
                surface->width = static_cast<uint32_t>(event.xconfigure.width);
                surface->height = static_cast<uint32_t>(event.xconfigure.height);
                host.picture_wanted = true;
                break;
            case Expose:
                host.picture_wanted = true;
                break;
            case DestroyNotify:
                // Destroyed by someone else: nothing is left to draw into.
                surface->window = 0;
                close_surface(host, *surface);
                break;
            default:
                break;
        }
    }
    remove_closed_clones(host);
}

}  // namespace lumenweave::x11
