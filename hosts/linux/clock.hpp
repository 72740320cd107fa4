// The clock the Linux session paces frames by: the monotonic clock, and the deadline chain of
// frame/pacing.hpp on it.
#pragma once

#include <cstdint>

#include "frame/pacing.hpp"

namespace lumenweave::linux_session {

// The monotonic clock, which no change of the wall clock moves, in nanoseconds.
int64_t monotonic_ns();

// The deadline chain (frame/pacing.hpp) on that clock.
struct pacing_t {
    int64_t period_ns = frame_period_ticks(1'000'000'000);  // nanoseconds
    int64_t deadline_ns = 0;  // monotonic_ns() of the next frame; 0 before the first
};

}  // namespace lumenweave::linux_session
