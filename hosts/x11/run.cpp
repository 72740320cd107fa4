// The X11 host's run: opens the display, takes or makes the windows, starts GLX and the engine,
// and runs the frame loop until a stop.
#include <cstdio>

#include "hosts/linux/hosts.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
namespace {

// Display, window, context and engine; false after reporting what failed.
bool start(host_t& host) {
    if (!open_display(host)) {
        return false;
    }
    const bool have_window = host.options.mode == run_mode::window  ? create_master_window(host)
                             : host.options.mode == run_mode::saver ? create_monitor_windows(host)
                                                                    : adopt_saver_window(host);
    if (!have_window) {
        return false;
    }
    if (!create_context(host)) {
        report_failure(failure_kind::no_context);
        return false;
    }
    for (const surface_t& surface : host.surfaces) {
        set_swap_interval(host, surface);
    }
    if (!make_current(host, host.surfaces[0]) || take_x_error(host.display).code != 0) {
        report_failure(failure_kind::cannot_make_current);
        return false;
    }
    core_start(host);
    if (host.options.script_path != nullptr) {
        start_script_watch(host);
    }
    if (host.options.fps) {
        init_fps_overlay(host);
    }
    return true;
}

}  // namespace
}  // namespace lumenweave_x11

// Defined in the host's namespace's parent: the entry (hosts/linux/main.cpp) calls it.
int lumenweave_linux::run_x11_host(const options_t& options) {
    using namespace lumenweave_x11;
    // The engine record is large; it lives for the whole run anyway.
    static host_t host;
    host.options = options;
    // The test build notes its start for the start-up figure of the pacing measurement.
    if (LUMENWEAVE_X11_FRAME_LOG) {
        std::printf("start %lld\n", static_cast<long long>(monotonic_ns()));
    }
    // Before any thread exists, so that the GL library's threads inherit the blocked signals.
    install_stop_signals();
    install_x_error_handlers();
    const int code = start(host) ? run_frames(host) : 1;
    // The test build tells an end through the frame loop from the stop thread's fallback.
    if (LUMENWEAVE_X11_FRAME_LOG) {
        std::printf("end %d\n", code);
        std::fflush(stdout);
    }
    close_display(host);
    stop_script_watch(host);
    return code;
}
