// The test build's log and hold (lumenweave-test), on X11 and on Wayland: one line on standard
// output for each event the tests and the pacing measurement wait for, written here alone. The
// libraries that make up the test build are compiled with LUMENWEAVE_FRAME_LOG=1; the shipped
// program's have none of it.
#pragma once

#include <unistd.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame/saver_input.hpp"
#include "hosts/linux/enum_table.hpp"

#ifndef LUMENWEAVE_FRAME_LOG
#define LUMENWEAVE_FRAME_LOG 0
#endif

namespace lumenweave::linux {

constexpr bool frame_log = LUMENWEAVE_FRAME_LOG != 0;

// The events of the log, each line's first word (or words): the tests and the measuring scripts
// read these names, so each is written here alone.
enum class log_item {
    start,              // the run's start, on the monotonic clock (ns)
    power,              // the power supply now, and why when it is taken as mains
    script,             // the rotation's turn: index and name of the script starting
    paused,             // nothing can be seen: the steps so far
    resumed,            // something can be seen again: the steps so far
    draw,               // a new frame's drawing begins: the step it shows
    frame,              // a surface's frame presented (log_frame)
    held,               // a surface showed its last frame again: role, where, the step
    output,             // Wayland: an output's name, place and scale
    output_gone,        // Wayland: an output unplugged
    surface,            // Wayland: a surface's role, output, size in pixels and scale
    keyboard_enter,     // Wayland: the keyboard's focus on a surface
    grabbed,            // X11 --saver: keyboard and pointer grabbed, input can reach it
    pointer,            // --saver: a pointer move judged (log_pointer)
    connection_closed,  // Wayland: the compositor or locker closed the connection
    end,                // the run's end: its exit code
};

struct log_item_name_t {
    log_item kind;
    const char* name;
};

// In the order of log_item, so that an event indexes its name.
constexpr log_item_name_t log_item_names[] = {
    {log_item::start, "start"},
    {log_item::power, "power"},
    {log_item::script, "script"},
    {log_item::paused, "paused"},
    {log_item::resumed, "resumed"},
    {log_item::draw, "draw"},
    {log_item::frame, "frame"},
    {log_item::held, "held"},
    {log_item::output, "output"},
    {log_item::output_gone, "output gone"},
    {log_item::surface, "surface"},
    {log_item::keyboard_enter, "keyboard enter"},
    {log_item::grabbed, "grabbed"},
    {log_item::pointer, "pointer"},
    {log_item::connection_closed, "connection closed"},
    {log_item::end, "end"},
};
static_assert(table_covers(log_item_names, log_item::end), "every log_item has its name, in order");

// One line of the log, flushed at once, as a test reads it while the program runs: the event's
// name, a space and FIELDS (printf's format)...
[[gnu::format(printf, 2, 3)]] inline void log_event(log_item item, const char* fields, ...) {
    if constexpr (frame_log) {
        std::printf("%s ", log_item_names[static_cast<std::size_t>(item)].name);
        va_list arguments;
        va_start(arguments, fields);
        std::vprintf(fields, arguments);
        va_end(arguments);
        std::putchar('\n');
        std::fflush(stdout);
    }
}

// ... or the name alone.
inline void log_event(log_item item) {
    if constexpr (frame_log) {
        std::puts(log_item_names[static_cast<std::size_t>(item)].name);
        std::fflush(stdout);
    }
}

// A surface's frame for the pacing measurement, in the form tools/pacing-summary.py reads: ROLE
// (role_name), WHERE (the surface's index on X11, its output on Wayland), when its drawing began
// and ended, the frame's deadline and when it was presented, all in nanoseconds of the monotonic
// clock; then the steps the animation has taken (the picture shown) and the frame rate asked for
// (frames a second).
inline void log_frame(const char* role, const char* where, int64_t t0, int64_t t1, int64_t deadline,
                      int64_t present, uint64_t step, int rate) {
    log_event(log_item::frame, "%s %s %lld %lld 1 1000000000 %lld %lld %llu %d", role, where,
              static_cast<long long>(t0), static_cast<long long>(t1),
              static_cast<long long>(deadline), static_cast<long long>(present),
              static_cast<unsigned long long>(step), rate);
}

// A pointer move a saver judged, at X, Y (the root window's or the compositor's space): its first
// (origin), one within the allowance (near) or one beyond it (away), which ends the saver.
inline void log_pointer(int x, int y, const frame::pointer_step& step) {
    log_event(log_item::pointer, "%d %d %s", x, y,
              step.first          ? "origin"
              : step.ends_saver() ? "away"
                                  : "near");
}

// Whether the file named by LUMENWEAVE_HOLD exists: while it does, a host shows its last
// frame again instead of drawing the next, since tests compare windows that must show one frame,
// which a moving figure never allows. Asked once a frame; always false outside the test build.
inline bool animation_held() {
    if constexpr (frame_log) {
        static const char* const path = std::getenv("LUMENWEAVE_HOLD");
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

}  // namespace lumenweave::linux
