// Frame pacing arithmetic: present deadlines one period apart on the monotonic clock.
#include <ctime>

#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {

int64_t monotonic_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Each deadline follows the previous one by exactly one period, so the time spent presenting and
// starting a frame takes nothing from the frame rate. A frame that starts after its deadline has
// passed (the first frame, one after SIGSTOP and SIGCONT, one after overruns) starts the chain
// afresh at t0 plus one period: no burst of short frames to catch up. Nor does a deadline ever lie
// more than one period after t0, should the clock seem to go backwards.
int64_t next_deadline(int64_t previous_deadline, int64_t t0, int64_t period) {
    if (previous_deadline == 0) {
        return t0 + period;
    }
    const int64_t next = previous_deadline + period;
    return next > t0 && next <= t0 + period ? next : t0 + period;
}

}  // namespace lumenweave_x11
