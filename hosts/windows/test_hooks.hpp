// Hooks of the test build (LUMENWEAVE_TEST_HOOKS): forcing failures that cannot be provoked for
// real, and per-frame pacing figures. In the shipped build every hook is a constant no-op.
#pragma once

#include <cstdint>

#include "hosts/windows/failure.hpp"

#ifndef LUMENWEAVE_TEST_HOOKS
#define LUMENWEAVE_TEST_HOOKS 0
#endif

namespace saver::test {

// Failures the program lives with, without a box: forced in the test build like the others.
enum class quiet_failure {
    create_context,  // wglCreateContext gives no context
    make_current,    // wglMakeCurrent refuses the context
};

#if LUMENWEAVE_TEST_HOOKS
// True when the environment variable LUMENWEAVE_FAIL names this failure's check.
bool forced_failure(util::failure_id failure);
bool forced_failure(quiet_failure failure);
// One line per frame on standard output: which thread, the counter at t0 and t1, whether the
// frame was presented, the counter frequency, the present deadline and the counter when the
// present was made (0 when it was not).
void log_frame(bool master, int64_t t0, int64_t t1, bool presented, int64_t frequency,
               int64_t deadline, int64_t presented_at);
// Waits LUMENWEAVE_SHOW_DELAY_MS milliseconds before a render thread shows its window, so that
// a close can be made to arrive while the thread is still starting.
void delay_before_show();
#else
inline void delay_before_show() {}
constexpr bool forced_failure(util::failure_id) {
    return false;
}
constexpr bool forced_failure(quiet_failure) {
    return false;
}
inline void log_frame(bool, int64_t, int64_t, bool, int64_t, int64_t, int64_t) {}
#endif

}  // namespace saver::test
