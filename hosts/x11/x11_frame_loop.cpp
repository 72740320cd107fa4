// The X11 frame loop: one thread draws every window in turn (the master, then the clones'
// replays), waits for the frame's deadline in the session's wait and presents them all, at the
// session's frame rate on the host's own clock.
#include <cstdio>

#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

struct frame_times_t {
    int64_t t0 = 0;  // nanoseconds, monotonic clock
    int64_t t1 = 0;  // nanoseconds, monotonic clock
};

// Judges X errors that came in: a window gone is a close (or, for the saver's window or the
// master, the end of the run with 0); anything else is a failure. False: end with 1.
bool judge_x_errors(host_t& host) {
    if (!x_error_seen()) {
        return true;
    }
    const x_error_t error = take_x_error(host.display);
    bool any_gone = false;
    for (surface_t& surface : host.surfaces) {
        if (!window_exists(host.display, surface.window, nullptr)) {
            any_gone = true;
            if (surface.master) {
                host.session.quit = quit_reason::window_gone;
            }
            surface.closing = true;
            if (surface.owned) {
                surface.window = 0;
            }
        }
    }
    if (any_gone) {
        return true;
    }
    char detail[96];
    std::snprintf(detail, sizeof detail, "error code %u, request %u, resource 0x%lx", error.code,
                  error.request, error.resource);
    report_failure(failure_kind::x_request_failed, detail);
    return false;
}

// Waits for the frame's deadline. What the server sends meanwhile is read into Xlib's queue for
// the next round of events, so that a lost connection ends the run at once (through the I/O
// error handler of x11_display.cpp). False: a stop came.
bool wait_for_deadline(host_t& host) {
    for (;;) {
        XFlush(host.display);
        switch (linux::wait_for(host.session, ConnectionNumber(host.display),
                                host.session.pacing.deadline_ns)) {
            case linux::wake_reason::deadline:
            case linux::wake_reason::paced:
                return true;
            case linux::wake_reason::stop:
                return false;
            case linux::wake_reason::display:
            case linux::wake_reason::display_lost:
                XEventsQueued(host.display, QueuedAfterReading);
                break;
        }
    }
}

// Waits until DEADLINE_NS (0: none) for the next frame, or until the server sends something or
// the frame rate changes, all of which the loop looks at again. False: a stop came.
bool wait_before_frame(host_t& host, int64_t deadline_ns) {
    XFlush(host.display);
    switch (linux::wait_for(host.session, ConnectionNumber(host.display), deadline_ns)) {
        case linux::wake_reason::stop:
            return false;
        case linux::wake_reason::display:
        case linux::wake_reason::display_lost:
            XEventsQueued(host.display, QueuedAfterReading);
            return true;
        case linux::wake_reason::deadline:
        case linux::wake_reason::paced:
            return true;
    }
    return true;
}

// The test build's lines for the frame's windows (hosts/linux/frame_log.hpp), by index. While the
// animation is held, a line "held ROLE INDEX FRAME" per window follows, once the server has taken
// the presents: a test that reads it may capture the windows, which show engine frame FRAME.
void log_frames(const host_t& host, const std::vector<frame_times_t>& times, int64_t present,
                bool held) {
    for (size_t i = 0; i < host.surfaces.size() && i < times.size(); ++i) {
        char index[24];
        std::snprintf(index, sizeof index, "%zu", i);
        linux::log_frame(linux::role_name(host.surfaces[i].master), index, times[i].t0, times[i].t1,
                         host.session.pacing.deadline_ns, present, host.session.engine_frame,
                         host.session.pacing.rate);
    }
    if (held) {
        XSync(host.display, False);
        for (size_t i = 0; i < host.surfaces.size(); ++i) {
            log_event(log_item::held, "%s %zu %llu", linux::role_name(host.surfaces[i].master), i,
                      static_cast<unsigned long long>(host.session.engine_frame));
        }
    }
}

}  // namespace

void host_t::run_frames() {
    linux::pacing_t& pacing = session.pacing;
    std::vector<frame_times_t> times;
    for (;;) {
        if (session.options.mode == run_mode::window) {
            handle_window_events(*this);
        } else if (session.options.mode == run_mode::saver) {
            handle_monitor_events(*this);
        } else {
            handle_saver_events(*this);
        }
        if (!judge_x_errors(*this)) {
            session.quit = quit_reason::failed;
            return;
        }
        if (linux::run_over(session)) {
            return;
        }
        // Nothing is drawn, and the animation takes no step, while nobody can see it.
        if (rest_while_unseen(*this)) {
            continue;
        }

        // The test build may show the last frame again: the master replays it as the clones do.
        // Once it moves on, it takes one step, not those of the time it stood still.
        bool held = session.engine_frame > 0 && linux::animation_held();
        if (held) {
            linux::restart_step_clock(session);
        }
        // At rate 0 the picture stands still: drawn once when a window lacks it (the first
        // frame, the only step taken), then nothing until the rate changes. Above 60 frames a
        // second, a frame that no step is due for would show the same picture again: the loop
        // sleeps instead, which spares the drawing, the present and the wake-ups.
        const bool still = pacing.rate == 0;
        const int64_t start = still ? 0 : linux::next_frame_time(session);
        if (still ? !picture_wanted : !held && start > monotonic_ns()) {
            if (!wait_before_frame(*this, start)) {
                linux::run_over(session);
                return;
            }
            continue;
        }
        picture_wanted = false;
        const int64_t t0 = monotonic_ns();
        pacing.deadline_ns = frame::frame_deadline(pacing.deadline_ns, t0, pacing.period_ns);
        const bool first = session.engine_frame == 0;
        const int steps = held || (still && !first) ? 0 : linux::take_steps(session, t0);
        held = held || steps == 0;
        times.resize(surfaces.size());
        // The test build says when a new frame's drawing begins, past the last look at the stop.
        if (!held) {
            log_event(log_item::draw, "%llu",
                      static_cast<unsigned long long>(session.engine_frame + steps));
        }
        for (size_t i = 0; i < surfaces.size(); ++i) {
            const surface_t& surface = surfaces[i];
            times[i].t0 = i == 0 ? t0 : monotonic_ns();
            make_current(*this, surface);
            if (surface.master && !held) {
                linux::draw_next_frame(session, steps, surface.width, surface.height);
            } else {
                linux::draw_last_frame(session, surface.width, surface.height);
            }
            if (surface.master) {
                draw_fps_readout(readout, session.fps, surface.width, surface.height);
            }
            times[i].t1 = monotonic_ns();
        }

        if (!wait_for_deadline(*this)) {
            linux::run_over(session);
            return;
        }
        for (const surface_t& surface : surfaces) {
            glXSwapBuffers(display, surface.drawable);
        }
        const int64_t present = monotonic_ns();
        linux::count_fps_frame(session.fps, present, times[0].t1 - times[0].t0);
        if (frame_log) {
            log_frames(*this, times, present, held);
        }
    }
}

}  // namespace lumenweave::x11
