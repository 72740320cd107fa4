// The Wayland frame loop: at each frame's start on the deadline chain of the session's frame rate,
// every surface the compositor has asked to draw (its frame callback came) gets the frame, the
// first output's or the window's recorded and replayed, the others replayed, and presents it; in
// between the loop handles events.
#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

struct drawn_t {
    surface_t* surface = nullptr;
    bool master = false;
    int64_t t0 = 0;  // nanoseconds, monotonic clock
    int64_t t1 = 0;  // nanoseconds, monotonic clock
};

void frame_done(void* data, wl_callback* callback, uint32_t) {
    static_cast<surface_t*>(data)->frame_callback = nullptr;
    wl_callback_destroy(callback);
}

const wl_callback_listener frame_listener = {frame_done};

// Shown and asked for a frame: configured, and no frame callback outstanding.
bool ready(const surface_t& surface) {
    return surface.configured && !surface.closing && surface.egl_surface != EGL_NO_SURFACE &&
           surface.frame_callback == nullptr;
}

void draw(host_t& host, surface_t& surface, bool master, int steps) {
    if (!make_current(host, surface)) {
        return;
    }
    surface.picture_wanted = false;
    session_t& session = host.session;
    if (master && steps > 0) {
        linux::draw_next_frame(session, steps, surface.width, surface.height);
        if (session.options.fps) {
            draw_fps_readout(session.fps, surface.width, surface.height);
        }
    } else {
        linux::draw_last_frame(session, surface.width, surface.height);
    }
    surface.frame_callback = wl_surface_frame(surface.surface);
    wl_callback_add_listener(surface.frame_callback, &frame_listener, &surface);
}

// The test build's lines for the frame's surfaces (hosts/linux/frame_log.hpp), by output.
void log_frames(const host_t& host, const std::vector<drawn_t>& drawn, int64_t present) {
    for (const drawn_t& entry : drawn) {
        linux::log_frame(linux::role_name(entry.master), label_of(*entry.surface), entry.t0,
                         entry.t1, host.session.pacing.deadline_ns, present,
                         host.session.engine_frame, host.session.pacing.rate);
    }
}

}  // namespace

void host_t::run_frames() {
    linux::pacing_t& pacing = session.pacing;
    std::vector<drawn_t> drawn;
    for (;;) {
        remove_closed_surfaces(*this);
        if (linux::run_over(session)) {
            return;
        }
        drawn.clear();
        // At rate 0 the picture stands still: only a surface that lacks it (new or resized) is
        // drawn, once; the frame callbacks that come stay unanswered until the rate changes.
        const bool still = pacing.rate == 0;
        for (size_t i = 0; i < surfaces.size(); ++i) {
            if (ready(*surfaces[i]) && (!still || surfaces[i]->picture_wanted)) {
                drawn.push_back({surfaces[i].get(), i == 0, 0, 0});
            }
        }
        // Until a surface may draw, and while nobody can see any, no step and no drawing.
        if (rest_unless_asked(*this, !drawn.empty())) {
            continue;
        }

        // The compositor's frame callbacks say when a surface may draw, the deadline chain that
        // the next frame starts no sooner than its period after this one: presenting at once
        // after drawing, rather than at the deadline, leaves the compositor the rest of the
        // period to show the frame by its next refresh. A callback that comes before the frame is
        // due waits, unanswered, for its deadline: answering it with a commit and no new picture
        // would only make the compositor work. Above 60 frames a second, a frame waits for its
        // step too, as it would show the same picture again.
        const int64_t start = still ? 0 : linux::next_frame_time(session);
        if (start != 0 && monotonic_ns() < start) {
            if (!wait_for_events(*this, start)) {
                end_on_lost_connection(*this);
                return;
            }
            continue;
        }
        const int64_t t0 = monotonic_ns();
        pacing.deadline_ns = frame::frame_deadline(pacing.deadline_ns, t0, pacing.period_ns);
        // The first frame is the only step a still picture takes.
        const int steps = still && session.engine_frame > 0 ? 0 : linux::take_steps(session, t0);
        if (steps == 0 && !still) {
            // The test build's animation held at its step: nothing new to show.
            continue;
        }
        // The test build says when a new frame's drawing begins, so that a test can tell a stop
        // that came in the middle of one.
        if (steps > 0) {
            log_event(log_item::draw, "%llu",
                      static_cast<unsigned long long>(session.engine_frame + steps));
        }
        // The animation moves on even while the first output is not shown, for the others.
        if (!drawn[0].master && steps > 0) {
            linux::record_next_frame(session, steps);
        }
        for (drawn_t& entry : drawn) {
            entry.t0 = monotonic_ns();
            draw(*this, *entry.surface, entry.master, steps);
            entry.t1 = monotonic_ns();
            eglSwapBuffers(egl_display, entry.surface->egl_surface);
            if (entry.master) {
                linux::count_fps_frame(session.fps, monotonic_ns(), entry.t1 - entry.t0);
            }
        }
        if (frame_log) {
            log_frames(*this, drawn, monotonic_ns());
        }
    }
}

}  // namespace lumenweave::wayland
