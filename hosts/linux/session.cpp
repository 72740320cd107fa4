// The shape of every run of the Linux program, and the frame both of its hosts draw.
#include "hosts/linux/session.hpp"

#include <malloc.h>

#include <algorithm>

#include "replay/gl1/replay.hpp"
#include "replay/gl1/render.hpp"
#include "hosts/linux/frame_log.hpp"
#include "hosts/linux/posix_wait.hpp"
#include "hosts/linux/script.hpp"
#include "hosts/linux/stop_signals.hpp"

namespace lumenweave::linux {
namespace {

// The steps before the last of a frame: nobody sees them, so they are not recorded.
void advance_unseen(session_t& session, int steps) {
    for (int i = 1; i < steps; ++i) {
        advanceFrame(session.engine);
        ++session.engine_frame;
    }
}

}  // namespace

int run_session(session_t& session, display_host& host) {
    // The test build notes its start for the start-up figure of the pacing measurement.
    log_event(log_item::start, "%lld", static_cast<long long>(monotonic_ns()));
    // Mesa's software renderer frees its per-frame buffers at the end of each frame and allocates
    // them again for the next; glibc would hand the freed top of the heap back to the kernel each
    // time (about 2 000 brk calls a second) and the next frame would fault it in again (tens of
    // thousands of page faults a second, most of the program's kernel time). Keeping up to 32 MiB
    // of freed heap, about what one frame needs at most, stops that churn.
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    // Before any thread exists, so that the GL library's threads inherit the blocked signals.
    install_stop_signals();
    set_frame_rate(session, session.options.frame_rate);
    // UPower's first answer comes in the wait, and with battery the battery rate.
    open_power_source(session.power);
    if (host.open()) {
        start_script(session);
        host.run_frames();
    } else {
        session.quit = quit_reason::failed;
    }
    const int code = session.quit == quit_reason::failed ? 1 : 0;
    // A run the stop thread's fallback ends has no end line: the test build tells it by that.
    log_event(log_item::end, "%d", code);
    host.close();
    stop_script_watch(session.script_watch);
    close_power_source(session.power);
    return code;
}

wake_reason wait_for(session_t& session, int display_fd, int64_t deadline_ns) {
    const int rate = session.pacing.rate;
    for (;;) {
        const wait_sources_t sources = {display_fd, session.script_watch.fd,
                                        power_source_fd(session.power),
                                        power_source_events(session.power)};
        const wait_news_t news = wait_on(sources, deadline_ns);
        if (news.stop) {
            return wake_reason::stop;
        }
        if (news.script) {
            follow_script(session);
        }
        if (news.power && follow_power_source(session.power)) {
            set_frame_rate(session, session.power.supply == power_supply::battery
                                        ? session.options.battery_frame_rate
                                        : session.options.frame_rate);
        }
        if (session.pacing.rate != rate) {
            return wake_reason::paced;
        }
        if (news.display) {
            return wake_reason::display;
        }
        if (news.display_lost) {
            return wake_reason::display_lost;
        }
        if (news.deadline) {
            return wake_reason::deadline;
        }
    }
}

bool run_over(session_t& session) {
    if (session.quit == quit_reason::none && stop_requested()) {
        session.quit = quit_reason::stop_signal;
    }
    return session.quit != quit_reason::none;
}

void set_frame_rate(session_t& session, int rate) {
    pacing_t& pacing = session.pacing;
    if (rate == pacing.rate) {
        return;
    }
    if (pacing.rate == 0) {
        restart_step_clock(session);
    }
    pacing.rate = rate;
    pacing.period_ns = rate > 0 ? frame::draw_period_ticks(ns_per_second, rate) : 0;
    // The next frame starts a fresh chain at the new period.
    pacing.deadline_ns = 0;
}

int take_steps(session_t& session, int64_t now) {
    // The turn counts the steps drawn, so it stands still while the animation does.
    const uint64_t turn = session.rotation.steps_per_turn;
    if (turn != 0 && session.engine_frame >= turn) {
        start_next_script(session);
    }
    pacing_t& pacing = session.pacing;
    // The gap the user's rate asks for is made up whole; only a stall beyond it is cut.
    const int steps = steps_due(pacing.steps, now, pacing.step_period_ns,
                                frame::max_steps_for(pacing.period_ns, pacing.step_period_ns));
    const uint64_t hold = held_step();
    if (hold != 0 && session.engine_frame + steps > hold) {
        return static_cast<int>(hold > session.engine_frame ? hold - session.engine_frame : 0);
    }
    return steps;
}

int64_t next_frame_time(const session_t& session) {
    const pacing_t& pacing = session.pacing;
    return std::max(pacing.deadline_ns, next_step_time(pacing.steps, pacing.step_period_ns));
}

void draw_next_frame(session_t& session, int steps, uint32_t width, uint32_t height) {
    advance_unseen(session, steps);
    replay::setupView(width, height);
    replay::renderFrame(session.engine, &session.draw_list);
    ++session.engine_frame;
}

void draw_last_frame(const session_t& session, uint32_t width, uint32_t height) {
    replay::setupView(width, height);
    replay::replay_draw_list(session.draw_list);
}

void record_next_frame(session_t& session, int steps) {
    advance_unseen(session, steps);
    recordFrame(session.engine, session.draw_list);
    ++session.engine_frame;
}

}  // namespace lumenweave::linux
