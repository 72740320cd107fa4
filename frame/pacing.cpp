// Frame pacing arithmetic shared by the hosts.
#include "frame/pacing.hpp"

namespace lumenweave {

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

}  // namespace lumenweave
