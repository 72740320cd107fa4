// Whether anything the X11 host draws can be seen: each window's map state, its coverage
// (VisibilityNotify) and the window manager's word that it is minimised, and the monitors' power
// (the DPMS extension), so that the frame loop rests while nobody can see its frames.
#include "hosts/x11/x11_host.hpp"

// Xlib's internals, for the one DPMS request libXext lacks, after the C++ headers: they define
// min and max as macros.
#include <X11/Xatom.h>
#include <X11/Xlibint.h>
#include <X11/extensions/Xge.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/dpmsproto.h>
#undef min
#undef max

namespace lumenweave::x11 {
namespace {

using linux::dpms_facts_t;

// Without DPMSInfoNotify the power is asked at this interval, and only while windows can be seen:
// a monitor that comes back on is noticed within it.
constexpr int64_t dpms_poll_ns = 1'000'000'000;  // nanoseconds

constexpr long iconic_state = 3;  // WM_STATE's IconicState (ICCCM)

surface_t* surface_of(host_t& host, Window window) {
    for (surface_t& surface : host.surfaces) {
        if (surface.window == window) {
            return &surface;
        }
    }
    return nullptr;
}

void ask_dpms(host_t& host) {
    CARD16 level = 0;
    BOOL enabled = False;
    if (DPMSInfo(host.display, &level, &enabled)) {
        host.sight.dpms.enabled = enabled != False;
        host.sight.dpms.level = linux::power_from_dpms_level(level);
    }
    host.sight.dpms_asked_ns = monotonic_ns();
}

// DPMSInfoNotify comes as a generic event, which Xlib hands out only for an extension that has
// a converter. Nothing of its data is kept: the event only says to ask DPMSInfo again.
Bool dpms_event_to_cookie(Display* display, XGenericEventCookie* cookie, xEvent* wire) {
    const xGenericEvent* event = reinterpret_cast<const xGenericEvent*>(wire);
    cookie->type = event->type & 0x7f;
    cookie->serial = _XSetLastRequestRead(display, reinterpret_cast<xGenericReply*>(wire));
    cookie->send_event = (event->type & 0x80) != 0;
    cookie->display = display;
    cookie->extension = event->extension;
    cookie->evtype = event->evtype;
    cookie->data = nullptr;
    return True;
}

// DPMSSelectInput (DPMS 1.2), which this system's libXext does not offer: the request as the
// extension defines it. Xlib's request macros name the display dpy.
void select_dpms_input(Display* dpy, int opcode) {
    LockDisplay(dpy);
    xDPMSSelectInputReq* request;
    GetReq(DPMSSelectInput, request);
    request->reqType = static_cast<CARD8>(opcode);
    request->dpmsReqType = X_DPMSSelectInput;
    request->eventMask = DPMSInfoNotifyMask;
    UnlockDisplay(dpy);
    SyncHandle();
}

// Whether the server has the DPMS extension (Xvfb has none: the monitors then count as on) and
// whether it tells of changes or must be asked.
void start_dpms_watch(host_t& host) {
    int first_event = 0;
    int first_error = 0;
    if (!XQueryExtension(host.display, DPMSExtensionName, &host.sight.dpms_opcode, &first_event,
                         &first_error) ||
        !DPMSCapable(host.display)) {
        host.sight.dpms_opcode = 0;
        return;
    }
    host.sight.dpms.extension = true;
    int major = 0;
    int minor = 0;
    int ge_major = 0;
    int ge_minor = 0;
    // Generic events reach only a client that has announced it knows them.
    if (DPMSGetVersion(host.display, &major, &minor) && (major > 1 || minor >= 2) &&
        XGEQueryVersion(host.display, &ge_major, &ge_minor)) {
        XESetWireToEventCookie(host.display, host.sight.dpms_opcode, dpms_event_to_cookie);
        // A server that refuses the request leaves the power to be asked, not the run to end:
        // its error is taken here, unless an earlier one (for the frame loop to judge) hides it.
        XSync(host.display, False);
        const bool earlier_error = x_error_seen();
        select_dpms_input(host.display, host.sight.dpms_opcode);
        XSync(host.display, False);
        host.sight.dpms_notifies = earlier_error || !x_error_seen();
        if (!host.sight.dpms_notifies) {
            take_x_error(host.display);
        }
    }
    ask_dpms(host);
}

// Whether the window manager has minimised WINDOW: WM_STATE says iconic, or _NET_WM_STATE holds
// _NET_WM_STATE_HIDDEN (window managers that keep minimised windows mapped say only that).
bool minimised(host_t& host, Window window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool iconic = false;
    if (XGetWindowProperty(host.display, window, host.sight.wm_state, 0, 1, False,
                           host.sight.wm_state, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        iconic = format == 32 && count == 1 && reinterpret_cast<long*>(data)[0] == iconic_state;
    }
    XFree(data);
    data = nullptr;
    if (XGetWindowProperty(host.display, window, host.net_wm_state, 0, 64, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr) {
        const Atom* states = reinterpret_cast<Atom*>(data);
        for (unsigned long i = 0; format == 32 && i < count; ++i) {
            iconic = iconic || states[i] == host.sight.net_wm_state_hidden;
        }
    }
    XFree(data);
    return iconic;
}

}  // namespace

void watch_sight(host_t& host) {
    host.sight.wm_state = XInternAtom(host.display, "WM_STATE", False);
    host.sight.net_wm_state_hidden = XInternAtom(host.display, "_NET_WM_STATE_HIDDEN", False);
    start_dpms_watch(host);
    // The windows the program makes tell of their maps as they come; a window handed over may
    // have been unmapped all along.
    for (surface_t& surface : host.surfaces) {
        XWindowAttributes attributes;
        if (!surface.owned && window_exists(host.display, surface.window, &attributes)) {
            surface.sight.viewable = attributes.map_state == IsViewable;
        }
    }
}

bool follow_sight_event(host_t& host, const XEvent& event) {
    if (event.type == GenericEvent) {
        if (host.sight.dpms_notifies && event.xcookie.extension == host.sight.dpms_opcode &&
            event.xcookie.evtype == DPMSInfoNotify) {
            ask_dpms(host);
        }
        return true;
    }
    surface_t* surface = surface_of(host, event.xany.window);
    if (surface == nullptr) {
        return false;
    }
    switch (event.type) {
        case MapNotify:
            surface->sight.viewable = true;
            return true;
        case UnmapNotify:
            surface->sight.viewable = false;
            return true;
        case VisibilityNotify:
            // Any state but fully obscured also says the window is viewable again (a window
            // that an unmapped parent hid sends no MapNotify of its own when it shows).
            surface->sight.covered = event.xvisibility.state == VisibilityFullyObscured;
            surface->sight.viewable = true;
            return true;
        case PropertyNotify:
            if (event.xproperty.atom == host.sight.wm_state ||
                event.xproperty.atom == host.net_wm_state) {
                surface->sight.minimised = minimised(host, surface->window);
            }
            return true;
        default:
            return false;
    }
}

bool rest_while_unseen(host_t& host) {
    sight_watch_t& watch = host.sight;
    watch.sights.clear();
    for (const surface_t& surface : host.surfaces) {
        watch.sights.push_back(surface.sight);
    }
    // The monitors' power matters only while windows can be seen; without the notification it is
    // asked then, and then only.
    const bool windows_seen = linux::anything_visible(watch.sights, dpms_facts_t{});
    const bool dpms_polled = windows_seen && watch.dpms_opcode != 0 && !watch.dpms_notifies;
    if (dpms_polled && monotonic_ns() - watch.dpms_asked_ns >= dpms_poll_ns) {
        ask_dpms(host);
    }
    const bool seen = windows_seen && linux::anything_visible(watch.sights, watch.dpms);
    if (linux::follow_sight(host.session, seen)) {
        return false;
    }
    XFlush(host.display);
    const int64_t deadline = dpms_polled ? watch.dpms_asked_ns + dpms_poll_ns : 0;
    switch (linux::wait_for(host.session, ConnectionNumber(host.display), deadline)) {
        case linux::wake_reason::display:
        case linux::wake_reason::display_lost:
            // A lost connection ends the run here, through the I/O error handler.
            XEventsQueued(host.display, QueuedAfterReading);
            break;
        case linux::wake_reason::stop:
            linux::run_over(host.session);
            break;
        case linux::wake_reason::deadline:
        case linux::wake_reason::paced:
            break;
    }
    return true;
}

}  // namespace lumenweave::x11
