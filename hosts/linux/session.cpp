// The shape of every run of the Linux program, and the frame both of its hosts draw.
#include "hosts/linux/session.hpp"

#include <malloc.h>

#include "replay/gl1/replay.hpp"
#include "replay/gl1/render.hpp"
#include "hosts/linux/frame_log.hpp"
#include "hosts/linux/script.hpp"
#include "hosts/linux/stop_signals.hpp"

namespace lumenweave_linux {

int run_session(session_t& session, display_host& host) {
    // The test build notes its start for the start-up figure of the pacing measurement.
    log_event("start %lld", static_cast<long long>(monotonic_ns()));
    // Mesa's software renderer frees its per-frame buffers at the end of each frame and allocates
    // them again for the next; glibc would hand the freed top of the heap back to the kernel each
    // time (about 2 000 brk calls a second) and the next frame would fault it in again (tens of
    // thousands of page faults a second, most of the program's kernel time). Keeping up to 32 MiB
    // of freed heap, about what one frame needs at most, stops that churn.
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    // Before any thread exists, so that the GL library's threads inherit the blocked signals.
    install_stop_signals();
    open_power_source(session.power);
    if (host.open()) {
        start_script(session);
        host.run_frames();
    } else {
        session.quit = quit_reason::failed;
    }
    const int code = session.quit == quit_reason::failed ? 1 : 0;
    // A run the stop thread's fallback ends has no end line: the test build tells it by that.
    log_event("end %d", code);
    host.close();
    stop_script_watch(session.script_watch);
    close_power_source(session.power);
    return code;
}

bool run_over(session_t& session) {
    if (session.quit == quit_reason::none && stop_requested()) {
        session.quit = quit_reason::stop_signal;
    }
    return session.quit != quit_reason::none;
}

void draw_next_frame(session_t& session, uint32_t width, uint32_t height) {
    setupView(width, height);
    renderFrame(session.engine, &session.draw_list);
    ++session.engine_frame;
}

void draw_last_frame(const session_t& session, uint32_t width, uint32_t height) {
    setupView(width, height);
    replay_draw_list(session.draw_list);
}

void record_next_frame(session_t& session) {
    recordFrame(session.engine, session.draw_list);
    ++session.engine_frame;
}

}  // namespace lumenweave_linux
