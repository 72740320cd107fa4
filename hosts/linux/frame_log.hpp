// The test build's log and hold (lumenweave-test), on X11 and on Wayland: one line on standard
// output for each event the tests and the pacing measurement wait for. The libraries that make up
// the test build are compiled with LUMENWEAVE_FRAME_LOG=1; the shipped program's have none of it.
#pragma once

#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifndef LUMENWEAVE_FRAME_LOG
#define LUMENWEAVE_FRAME_LOG 0
#endif

namespace lumenweave::linux_session {

constexpr bool frame_log = LUMENWEAVE_FRAME_LOG != 0;

// One line of the log, flushed at once: a test reads it while the program runs.
[[gnu::format(printf, 1, 2)]] inline void log_event(const char* format, ...) {
    if constexpr (frame_log) {
        va_list arguments;
        va_start(arguments, format);
        std::vprintf(format, arguments);
        va_end(arguments);
        std::putchar('\n');
        std::fflush(stdout);
    }
}

// A surface's frame for the pacing measurement, in the form tools/pacing-summary.py reads: ROLE
// ("master" or "mirror"), WHERE (the surface's index on X11, its output on Wayland), when its
// drawing began and ended, the frame's deadline and when it was presented, all in nanoseconds of
// the monotonic clock; then the steps the animation has taken (the picture shown) and the frame
// rate asked for (frames a second).
inline void log_frame(const char* role, const char* where, int64_t t0, int64_t t1, int64_t deadline,
                      int64_t present, uint64_t step, int rate) {
    log_event("frame %s %s %lld %lld 1 1000000000 %lld %lld %llu %d", role, where,
              static_cast<long long>(t0), static_cast<long long>(t1),
              static_cast<long long>(deadline), static_cast<long long>(present),
              static_cast<unsigned long long>(step), rate);
}

// Whether the file named by LUMENWEAVE_HOLD_FILE exists: while it does, a host shows its last
// frame again instead of drawing the next, since tests compare windows that must show one frame,
// which a moving figure never allows. Asked once a frame; always false outside the test build.
inline bool animation_held() {
    if constexpr (frame_log) {
        static const char* const path = std::getenv("LUMENWEAVE_HOLD_FILE");
        return path != nullptr && access(path, F_OK) == 0;
    }
    return false;
}

// The step LUMENWEAVE_HOLD_STEP names (a whole number above 0), at which the animation stands
// still for good, so that a test compares the picture of one step across runs at different frame
// rates; 0 when unset, and always outside the test build.
inline uint64_t held_step() {
    if constexpr (frame_log) {
        static const uint64_t step = [] {
            const char* text = std::getenv("LUMENWEAVE_HOLD_STEP");
            return text != nullptr ? std::strtoull(text, nullptr, 10) : 0;
        }();
        return step;
    }
    return 0;
}

}  // namespace lumenweave::linux_session
