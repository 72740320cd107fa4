// Frame pacing arithmetic that every host shares: the frame period in the ticks of the host's
// clock, the chain of present deadlines, the wait before the final spin and the animation's steps
// per drawn frame. No clock is read here: hosts pass the time in ticks of their own.
#pragma once

#include <cstdint>

namespace lumenweave::frame {

// 60 frames per second.
constexpr int64_t frame_period_us = 16666;  // microseconds

// The period in ticks of a clock that counts `ticks_per_second`, truncated; 64-bit throughout, so
// that a counter of some GHz does not overflow.
constexpr int64_t frame_period_ticks(int64_t ticks_per_second) {
    return ticks_per_second * frame_period_us / 1000000;
}

// The animation's rate: it takes this many steps a second of elapsed time whatever the drawing
// rate, the period of frame_period_ticks each.
constexpr int steps_per_second = 60;

// The drawing period at RATE frames a second (above 0), in the ticks of frame_period_ticks: the
// step period scaled, so that at 60 frames a second every frame takes exactly one step.
constexpr int64_t draw_period_ticks(int64_t ticks_per_second, int rate) {
    return frame_period_ticks(ticks_per_second) * steps_per_second / rate;
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

// The most steps one drawn frame takes when frames come as often as steps or a few times slower:
// frames down to 7.5 a second keep the animation's speed. A frame later than that (a stall, a
// suspended machine) takes this many and the step deadlines start afresh, so that no burst of
// catch-up steps follows.
constexpr int max_steps_per_frame = 8;

// The most steps a frame takes when frames are drawn DRAW_PERIOD apart on purpose (a frame rate
// the user chose), in the units of STEP_PERIOD: twice the steps of the chosen gap, and at least
// max_steps_per_frame. So any chosen rate keeps the animation's speed, and only a gap the program
// did not choose is cut short. The page's wallpaper keeps the same rule.
int max_steps_for(int64_t draw_period, int64_t step_period);

// When the animation's next step falls due, in the ticks of the host's clock. The page's
// web/src/shared/pacing.ts keeps the same rule on requestAnimationFrame's clock.
struct step_clock_t {
    bool started = false;  // false: the next frame takes one step and starts the deadlines
    int64_t deadline = 0;  // ticks: when the next step is due
};

// The steps the frame at NOW takes (0 to MOST), moving the deadline on. A step due within a
// quarter of a PERIOD is taken now, since frame times jitter around the period. MOST is
// max_steps_per_frame, or max_steps_for the chosen drawing period.
int steps_due(step_clock_t& clock, int64_t now, int64_t period, int most);

// The earliest time at which steps_due gives a step: a host with nothing else to draw may sleep
// until then. Any time before the first frame.
int64_t next_step_time(const step_clock_t& clock, int64_t period);

}  // namespace lumenweave::frame
