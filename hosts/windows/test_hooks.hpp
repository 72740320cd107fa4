// Hooks of the test build (LUMENWEAVE_TEST_HOOKS): forcing failures that cannot be provoked for
// real, holding the animation or a window's start on request, and lines on standard output that
// let the end-to-end tests wait for what the program has done. In the shipped build every hook is
// a constant or does only what the program would do anyway.
#pragma once

#include <windows.h>

#include <cstdint>

#include "hosts/windows/failure.hpp"
#include "hosts/windows/policy.hpp"
#include "hosts/windows/script_space.hpp"

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
// True while the file named by the environment variable LUMENWEAVE_HOLD exists: the master then
// shows the frame it has instead of computing the next, so that every window keeps one picture.
bool frame_held();
// The number of the frame a window shows, read under the frame lock: the master passes true when
// it has just computed a new frame, which counts it.
uint64_t frame_shown(bool computed);
// One line per frame on standard output: which thread, the counter at t0 and t1, whether the
// frame was presented, the counter frequency, the present deadline, the counter when the present
// was made (0 when it was not) and the number of the frame shown.
void log_frame(bool master, int64_t t0, int64_t t1, bool presented, int64_t frequency,
               int64_t deadline, int64_t presented_at, uint64_t shown);
// Waits for the run event as the render threads do, with a line when a thread pauses and one
// when it resumes.
void wait_to_run(HANDLE run_event, bool master);
// A line for each mouse move the screensaver checks: the cursor and the verdict.
void log_mouse(long x, long y, const mouse_verdict& verdict);
// A line once the application has handled N, whatever the display mode.
void log_clone_key();
// With LUMENWEAVE_HOLD_SHOW naming the window's kind (master or clone), holds its render thread
// just before it shows its window until the window is closed (at most a minute), so that a close
// arrives while the thread is still starting; a line says that the thread waits.
void hold_before_show(bool master, HANDLE stop_event);
// A line saying which script runs: the one placed in the program's space, or the built-in one and
// why.
void log_script_space(const space_reading& reading);
#else
constexpr bool forced_failure(util::failure_id) {
    return false;
}
constexpr bool forced_failure(quiet_failure) {
    return false;
}
constexpr bool frame_held() {
    return false;
}
constexpr uint64_t frame_shown(bool) {
    return 0;
}
inline void log_frame(bool, int64_t, int64_t, bool, int64_t, int64_t, int64_t, uint64_t) {}
inline void wait_to_run(HANDLE run_event, bool) {
    WaitForSingleObject(run_event, INFINITE);
}
inline void log_mouse(long, long, const mouse_verdict&) {}
inline void log_clone_key() {}
inline void hold_before_show(bool, HANDLE) {}
inline void log_script_space(const space_reading&) {}
#endif

}  // namespace saver::test
