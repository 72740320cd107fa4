// Frame pacing arithmetic shared by the hosts.
#include "frame/pacing.hpp"

#include <algorithm>

namespace lumenweave::frame {

int64_t frame_deadline(int64_t previous_deadline, int64_t t0, int64_t period) {
    if (previous_deadline == 0) {
        return t0 + period;
    }
    const int64_t next = previous_deadline + period;
    return next > t0 && next <= t0 + period ? next : t0 + period;
}

uint32_t frame_wait_ms(int64_t t0, int64_t t1, int64_t period, int64_t ticks_per_second) {
    const int64_t elapsed = t1 - t0;
    if (elapsed < 0 || elapsed > period || ticks_per_second <= 0) {
        return 0;
    }
    return static_cast<uint32_t>((period - elapsed) * 1000000 / ticks_per_second / 1000);
}

namespace {

// Frame times jitter around the period: a step due this close is taken now.
int64_t early_tolerance(int64_t period) {
    return period / 4;
}

}  // namespace

int max_steps_for(int64_t draw_period, int64_t step_period) {
    const int64_t chosen = (draw_period + step_period - 1) / step_period;
    return static_cast<int>(std::max<int64_t>(max_steps_per_frame, 2 * chosen));
}

int steps_due(step_clock_t& clock, int64_t now, int64_t period, int most) {
    if (!clock.started) {
        clock.started = true;
        clock.deadline = now + period;
        return 1;
    }
    const int64_t ahead = now - clock.deadline + early_tolerance(period);
    if (ahead < 0) {
        return 0;
    }
    const int64_t due = ahead / period + 1;
    if (due > most) {
        clock.deadline = now + period;
        return most;
    }
    clock.deadline += due * period;
    return static_cast<int>(due);
}

int64_t next_step_time(const step_clock_t& clock, int64_t period) {
    return clock.started ? clock.deadline - early_tolerance(period) : 0;
}

}  // namespace lumenweave::frame
