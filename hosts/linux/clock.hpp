// The clock the Linux session paces frames by: the monotonic clock, and on it the deadline chain
// of the drawn frames and the animation's steps (frame/pacing.hpp).
#pragma once

#include <cstdint>

#include "frame/pacing.hpp"

namespace lumenweave::linux {

constexpr int64_t ns_per_second = 1'000'000'000;

// The monotonic clock, which no change of the wall clock moves, in nanoseconds.
int64_t monotonic_ns();

// When frames are drawn and the animation steps, on that clock.
struct pacing_t {
    int rate = 60;                                                    // frames a second; 0: still
    int64_t period_ns = frame::draw_period_ticks(ns_per_second, 60);  // nanoseconds between frames
    int64_t deadline_ns = 0;  // monotonic_ns() of the next frame; 0 before the first
    int64_t step_period_ns = frame::frame_period_ticks(ns_per_second);  // nanoseconds
    frame::step_clock_t steps;                                          // nanoseconds
};

}  // namespace lumenweave::linux
