// The clock the Linux hosts pace frames by, and the stop signals: SIGTERM, SIGINT and SIGHUP end
// a run at once, on X11 and on Wayland alike, and a run that does not end promptly is ended all
// the same.
#pragma once

#include <cstdint>

#include "frame/pacing.hpp"

namespace lumenweave_linux {

// The monotonic clock, which no change of the wall clock moves, in nanoseconds.
int64_t monotonic_ns();

// The deadline chain (frame/pacing.hpp) on that clock.
struct pacing_t {
    int64_t period_ns = frame_period_ticks(1'000'000'000);  // nanoseconds
    int64_t deadline_ns = 0;  // monotonic_ns() of the next present; 0 before the first
};

// Blocks the stop signals in this thread and every later one and starts the thread that waits
// for them. Call it before any library starts a thread of its own.
void install_stop_signals();
// Whether a stop signal has come.
bool stop_requested();
// A descriptor that turns readable once a stop signal has come, for a host waiting in poll.
int stop_fd();
// Sleeps until DEADLINE_NS (monotonic); returns early if a stop signal came before.
void sleep_until(int64_t deadline_ns);

}  // namespace lumenweave_linux
