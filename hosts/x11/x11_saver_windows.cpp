// --saver on X11: one override-redirect window per monitor (XRandR's monitors, or Xinerama's
// screens where XRandR has none), the cursor hidden, keyboard and pointer grabbed so that any
// key, any button or a move of more than a few pixels ends the run; monitors that come and go
// while it runs are followed through XRandR's notifications.
#include <X11/Xutil.h>

#include <algorithm>

#include "hosts/x11/x11_host.hpp"
#if LUMENWEAVE_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif
#if LUMENWEAVE_HAVE_XINERAMA
#include <X11/extensions/Xinerama.h>
#endif

namespace lumenweave::x11 {
namespace {

struct monitor_t {
    int x = 0;       // pixels, root window coordinates
    int y = 0;       // pixels, root window coordinates
    int width = 0;   // pixels
    int height = 0;  // pixels
};

std::vector<monitor_t> xrandr_monitors(host_t& host) {
    std::vector<monitor_t> monitors;
#if LUMENWEAVE_HAVE_XRANDR
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(host.display, &event_base, &error_base) ||
        !XRRQueryVersion(host.display, &major, &minor) || major * 100 + minor < 105) {
        return monitors;
    }
    int count = 0;
    XRRMonitorInfo* info =
        XRRGetMonitors(host.display, RootWindow(host.display, host.screen), True, &count);
    for (int i = 0; i < count; ++i) {
        monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
    }
    XRRFreeMonitors(info);
#else
    (void)host;
#endif
    return monitors;
}

std::vector<monitor_t> xinerama_monitors(host_t& host) {
    std::vector<monitor_t> monitors;
#if LUMENWEAVE_HAVE_XINERAMA
    int count = 0;
    if (XineramaIsActive(host.display)) {
        XineramaScreenInfo* info = XineramaQueryScreens(host.display, &count);
        for (int i = 0; i < count; ++i) {
            monitors.push_back({info[i].x_org, info[i].y_org, info[i].width, info[i].height});
        }
        XFree(info);
    }
#else
    (void)host;
#endif
    return monitors;
}

// The monitors in the order the server lists them; the whole screen where none is known. A server
// that has both may know the heads through Xinerama alone (a nested server's XRandR sees one
// screen): the longer list wins.
std::vector<monitor_t> monitors(host_t& host) {
    std::vector<monitor_t> found = xrandr_monitors(host);
    std::vector<monitor_t> heads = xinerama_monitors(host);
    if (heads.size() > found.size()) {
        found = heads;
    }
    if (found.empty()) {
        found.push_back({0, 0, DisplayWidth(host.display, host.screen),
                         DisplayHeight(host.display, host.screen)});
    }
    return found;
}

// A cursor with no visible pixel.
Cursor invisible_cursor(host_t& host, Window window) {
    const char empty[1] = {0};
    const Pixmap bitmap = XCreateBitmapFromData(host.display, window, empty, 1, 1);
    XColor black = {};
    const Cursor cursor = XCreatePixmapCursor(host.display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(host.display, bitmap);
    return cursor;
}

bool create_monitor_window(host_t& host, const monitor_t& monitor, bool master) {
    XSetWindowAttributes attributes = {};
    // No window manager places or decorates it: it covers its monitor as a saver must.
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask |
                            StructureNotifyMask | ExposureMask | VisibilityChangeMask;
    const Window window = create_gl_window(
        host, monitor.x, monitor.y, static_cast<uint32_t>(monitor.width),
        static_cast<uint32_t>(monitor.height), attributes, CWOverrideRedirect | CWEventMask);
    if (window == 0) {
        return false;
    }
    XStoreName(host.display, window, "Lumenweave");
    const Cursor cursor = invisible_cursor(host, window);
    XDefineCursor(host.display, window, cursor);
    XFreeCursor(host.display, cursor);
    XMapRaised(host.display, window);
    return add_own_surface(host, window, master, static_cast<uint32_t>(monitor.width),
                           static_cast<uint32_t>(monitor.height));
}

// Keys and buttons reach the saver wherever the focus and the pointer were; a grab can fail
// while another client holds one, so it is tried again with every round of events.
void grab_input(host_t& host) {
    const Window window = host.surfaces[0].window;
    const bool had_grabs = host.keyboard_grabbed && host.pointer_grabbed;
    if (!host.keyboard_grabbed) {
        host.keyboard_grabbed = XGrabKeyboard(host.display, window, True, GrabModeAsync,
                                              GrabModeAsync, CurrentTime) == GrabSuccess;
    }
    if (!host.pointer_grabbed) {
        const Cursor cursor = invisible_cursor(host, window);
        host.pointer_grabbed =
            XGrabPointer(host.display, window, True, ButtonPressMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, None, cursor, CurrentTime) == GrabSuccess;
        XFreeCursor(host.display, cursor);
    }
    // The test build says when input can first reach it, so that a test sends none before.
    if (!had_grabs && host.keyboard_grabbed && host.pointer_grabbed) {
        log_event(log_item::grabbed);
    }
}

// Fits the windows to the monitors as they are now: the first ones keep their windows (the
// master its context's drawable), moved and sized; extra windows go, missing ones are made.
void follow_monitors(host_t& host) {
    const std::vector<monitor_t> now = monitors(host);
    const size_t kept = std::min(now.size(), host.surfaces.size());
    for (size_t i = 0; i < kept; ++i) {
        XMoveResizeWindow(host.display, host.surfaces[i].window, now[i].x, now[i].y,
                          static_cast<unsigned>(now[i].width),
                          static_cast<unsigned>(now[i].height));
        host.surfaces[i].width = static_cast<uint32_t>(now[i].width);
        host.surfaces[i].height = static_cast<uint32_t>(now[i].height);
    }
    while (host.surfaces.size() > std::max<size_t>(now.size(), 1)) {
        surface_t& last = host.surfaces.back();
        if (host.current == last.drawable) {
            make_current(host, host.surfaces[0]);
        }
        destroy_drawable(host, last);
        XDestroyWindow(host.display, last.window);
        host.surfaces.pop_back();
    }
    for (size_t i = host.surfaces.size(); i < now.size(); ++i) {
        if (!create_monitor_window(host, now[i], false)) {
            report_failure(failure_kind::cannot_create_window, "monitor");
        }
    }
}

}  // namespace

bool create_monitor_windows(host_t& host) {
    if (!choose_config_for_new_windows(host)) {
        report_failure(failure_kind::no_config);
        return false;
    }
    const std::vector<monitor_t> found = monitors(host);
    for (size_t i = 0; i < found.size(); ++i) {
        if (!create_monitor_window(host, found[i], i == 0)) {
            report_failure(failure_kind::cannot_create_window);
            return false;
        }
    }
#if LUMENWEAVE_HAVE_XRANDR
    int event_base = 0;
    int error_base = 0;
    if (XRRQueryExtension(host.display, &event_base, &error_base)) {
        host.randr_event_base = event_base;
        XRRSelectInput(
            host.display, RootWindow(host.display, host.screen),
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    }
#endif
    grab_input(host);
    return true;
}

void handle_monitor_events(host_t& host) {
    grab_input(host);
    bool monitors_changed = false;
    while (XPending(host.display) > 0) {
        XEvent event;
        XNextEvent(host.display, &event);
        if (follow_sight_event(host, event)) {
            continue;
        }
        switch (event.type) {
            case KeyPress:
            case ButtonPress:
                host.session.quit = quit_reason::input;
                break;
            case Expose:
                host.picture_wanted = true;
                break;
            case MotionNotify: {
                const frame::pointer_step step = watch_pointer(
                    host.session.saver_pointer, event.xmotion.x_root, event.xmotion.y_root);
                if (step.ends_saver()) {
                    host.session.quit = quit_reason::input;
                }
                linux::log_pointer(event.xmotion.x_root, event.xmotion.y_root, step);
                break;
            }
            default:
#if LUMENWEAVE_HAVE_XRANDR
                if (host.randr_event_base != 0 && event.type >= host.randr_event_base &&
                    event.type <= host.randr_event_base + RRNotify) {
                    XRRUpdateConfiguration(&event);
                    monitors_changed = true;
                }
#endif
                break;
        }
    }
    if (monitors_changed) {
        follow_monitors(host);
        host.picture_wanted = true;
    }
}

}  // namespace lumenweave::x11
