// The frame loop: one thread draws every window in turn (the master, then the mirrors' replays),
// sleeps to the frame's deadline and presents them all.
#include <cstdio>

#include "hosts/linux/test_hold.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
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
                host.master_closed = true;
                host.target_gone = true;
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

// The test build prints one line per window and frame for the pacing measurement, in the form
// tools/pacing-summary.py reads: role, index, t0, t1, presented, ticks per second, deadline and
// present time, all in nanoseconds of the monotonic clock. While the animation is held, a line
// "held ROLE INDEX FRAME" per window follows, once the server has taken the presents: a test
// that reads it may capture the windows, which show engine frame FRAME.
void log_frames(const host_t& host, const std::vector<frame_times_t>& times, int64_t present,
                bool held) {
    for (size_t i = 0; i < host.surfaces.size() && i < times.size(); ++i) {
        const char* role = host.surfaces[i].master ? "master" : "mirror";
        std::printf("frame %s %zu %lld %lld 1 1000000000 %lld %lld\n", role, i,
                    static_cast<long long>(times[i].t0), static_cast<long long>(times[i].t1),
                    static_cast<long long>(host.pacing.deadline_ns),
                    static_cast<long long>(present));
    }
    if (held) {
        XSync(host.display, False);
        for (size_t i = 0; i < host.surfaces.size(); ++i) {
            std::printf("held %s %zu %llu\n", host.surfaces[i].master ? "master" : "mirror", i,
                        static_cast<unsigned long long>(host.engine_frame));
        }
    }
    std::fflush(stdout);
}

}  // namespace

int run_frames(host_t& host) {
    std::vector<frame_times_t> times;
    for (;;) {
        if (host.options.mode == run_mode::window) {
            handle_window_events(host);
        } else if (host.options.mode == run_mode::saver) {
            handle_monitor_events(host);
        } else {
            handle_saver_events(host);
        }
        if (!judge_x_errors(host)) {
            return 1;
        }
        if (stop_requested() || host.master_closed || host.target_gone || host.input_ended) {
            return 0;
        }
        if (script_changed(host)) {
            core_reload_script(host);
        }

        // The test build may show the last frame again: the master replays it as the mirrors do.
        const bool held = frame_log && host.engine_frame > 0 && lumenweave_linux::animation_held();
        const int64_t t0 = monotonic_ns();
        host.pacing.deadline_ns =
            frame_deadline(host.pacing.deadline_ns, t0, host.pacing.period_ns);
        times.resize(host.surfaces.size());
        // The test build says when a new frame's drawing begins, past the last look at the stop.
        if (frame_log && !held) {
            std::printf("draw %llu\n", static_cast<unsigned long long>(host.engine_frame + 1));
            std::fflush(stdout);
        }
        for (size_t i = 0; i < host.surfaces.size(); ++i) {
            const surface_t& surface = host.surfaces[i];
            times[i].t0 = i == 0 ? t0 : monotonic_ns();
            make_current(host, surface);
            core_view(surface.width, surface.height);
            if (surface.master && !held) {
                core_draw_master(host);
            } else {
                core_draw_mirror(host);
            }
            if (surface.master) {
                draw_fps_overlay(host.overlay, surface.width, surface.height);
            }
            times[i].t1 = monotonic_ns();
        }

        sleep_until(host.pacing.deadline_ns);
        if (stop_requested()) {
            return 0;
        }
        for (const surface_t& surface : host.surfaces) {
            glXSwapBuffers(host.display, surface.drawable);
        }
        const int64_t present = monotonic_ns();
        lumenweave_linux::count_fps_frame(host.overlay.count, present, times[0].t1 - times[0].t0);
        if (frame_log) {
            log_frames(host, times, present, held);
        }
    }
}

}  // namespace lumenweave_x11
