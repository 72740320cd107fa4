// The frame loop: at each frame's start on the deadline chain, every surface the compositor has
// asked to draw (its frame callback came) gets the frame, the first output's or the window's
// recorded and replayed, the others replayed, and presents it; in between the loop handles
// events.
#include "replay/gl1/replay.hpp"
#include "replay/gl1/render.hpp"
#include "hosts/wayland/host.hpp"

namespace lumenweave_wayland {
namespace {

// The test build prints one line per surface and frame for the pacing measurement, in the form
// tools/pacing-summary.py reads: role, output, t0, t1, presented, ticks per second, deadline and
// present time, all in nanoseconds of the monotonic clock; and "drawing T0" as a round of frames
// starts, so that a test can tell a stop that came in the middle of one.
constexpr bool frame_log = LUMENWEAVE_WAYLAND_FRAME_LOG != 0;

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

void draw(host_t& host, surface_t& surface, bool master) {
    if (!make_current(host, surface)) {
        return;
    }
    setupView(surface.width, surface.height);
    if (master) {
        renderFrame(host.engine, &host.draw_list);
        if (host.options.fps) {
            draw_fps_readout(host.fps, surface.width, surface.height);
        }
    } else {
        replay_draw_list(host.draw_list);
    }
    surface.frame_callback = wl_surface_frame(surface.surface);
    wl_callback_add_listener(surface.frame_callback, &frame_listener, &surface);
}

void log_frames(const host_t& host, const std::vector<drawn_t>& drawn, int64_t present) {
    for (const drawn_t& entry : drawn) {
        log_event("frame %s %s %lld %lld 1 1000000000 %lld %lld",
                  entry.master ? "master" : "mirror", label_of(*entry.surface),
                  static_cast<long long>(entry.t0), static_cast<long long>(entry.t1),
                  static_cast<long long>(host.pacing.deadline_ns), static_cast<long long>(present));
    }
}

bool run_over(const host_t& host) {
    return stop_requested() || host.input_ended || host.master_closed;
}

}  // namespace

int run_frames(host_t& host) {
    std::vector<drawn_t> drawn;
    for (;;) {
        remove_closed_surfaces(host);
        if (run_over(host)) {
            return 0;
        }
        drawn.clear();
        for (size_t i = 0; i < host.surfaces.size(); ++i) {
            if (ready(*host.surfaces[i])) {
                drawn.push_back({host.surfaces[i].get(), i == 0, 0, 0});
            }
        }
        if (drawn.empty()) {
            if (!wait_for_events(host, 0)) {
                report_failure(failure_kind::connection_lost);
                return 1;
            }
            continue;
        }

        // The compositor's frame callbacks say when a surface may draw, the deadline chain that
        // the next frame starts no sooner than its period after this one: presenting at once
        // after drawing, rather than at the deadline, leaves the compositor the rest of the
        // period to show the frame by its next refresh.
        if (host.pacing.deadline_ns != 0 && monotonic_ns() < host.pacing.deadline_ns) {
            if (!wait_for_events(host, host.pacing.deadline_ns)) {
                report_failure(failure_kind::connection_lost);
                return 1;
            }
            continue;
        }
        const int64_t t0 = monotonic_ns();
        log_event("drawing %lld", static_cast<long long>(t0));
        host.pacing.deadline_ns =
            frame_deadline(host.pacing.deadline_ns, t0, host.pacing.period_ns);
        // The animation moves on even while the first output is not shown, for the others.
        if (!drawn[0].master) {
            recordFrame(host.engine, host.draw_list);
        }
        for (drawn_t& entry : drawn) {
            entry.t0 = monotonic_ns();
            draw(host, *entry.surface, entry.master);
            entry.t1 = monotonic_ns();
            eglSwapBuffers(host.egl_display, entry.surface->egl_surface);
            if (entry.master) {
                lumenweave_linux::count_fps_frame(host.fps, monotonic_ns(), entry.t1 - entry.t0);
            }
        }
        if (frame_log) {
            log_frames(host, drawn, monotonic_ns());
        }
    }
}

}  // namespace lumenweave_wayland
