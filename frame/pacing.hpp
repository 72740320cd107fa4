// Frame pacing arithmetic that every host shares: the frame period in the ticks of the host's
// clock, the chain of present deadlines and the wait before the final spin. No clock is read here.
#pragma once

#include <cstdint>

namespace lumenweave {

// 60 frames per second.
constexpr int64_t frame_period_us = 16666;  // microseconds

// The period in ticks of a clock that counts `ticks_per_second`, truncated; 64-bit throughout, so
// that a counter of some GHz does not overflow.
constexpr int64_t frame_period_ticks(int64_t ticks_per_second) {
    return ticks_per_second * frame_period_us / 1000000;
}

// The present deadline of a frame whose drawing started at t0: one period after the previous
// frame's deadline (0 before the first frame), so that presenting and starting a frame take nothing
// from the frame rate. A frame starting a period or more after that point (the first frame, one
// after a pause, or after frames that overran) starts the chain afresh at t0 plus one period, never
// catching up with a burst of short frames. The result never lies later than t0 plus one period,
// should the clock seem to go backwards.
int64_t frame_deadline(int64_t previous_deadline, int64_t t0, int64_t period);

// Milliseconds to sleep before the final spin of a frame that started at t0 (for a chained
// deadline: the deadline less one period) and was drawn by t1; 0 when the frame overran the period
// (or the clock went backwards) or less than a millisecond remains, in which case only the spin is
// left.
uint32_t frame_wait_ms(int64_t t0, int64_t t1, int64_t period, int64_t ticks_per_second);

}  // namespace lumenweave
