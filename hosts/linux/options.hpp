// The Linux program's command line, shared by its X11 and Wayland hosts: the modes, the flags and
// which display system a run uses. No X or Wayland type appears here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace lumenweave::linux {

// How the program was asked to run.
enum class run_mode {
    window,           // its own 640 x 480 window, with clones and full screen
    saver_root,       // X11: the window in XSCREENSAVER_WINDOW, or the root window
    saver_window_id,  // X11: the window given with -window-id
    saver,            // every monitor (X11) or output (Wayland) covered, ending on input
    // Wayland: a screen locker's background program, on the connection it hands over in
    // WAYLAND_SOCKET: the background layer of every output offered, or of the one it names; no
    // input, no one-saver lock, and the locker closing the connection ends it with 0.
    lock_background,
    help,
    version,
    usage_error,
};

// What is wrong with the command line, for usage_error.
enum class argument_fault {
    none,
    unknown_flag,
    missing_value,
    bad_window_id,
    bad_seed,
    bad_layer,
    bad_frame_rate,
    bad_battery_frame_rate,
    output_without_saver,  // --output names where --saver or --lock-background draws
    bad_every,
};

// The frame rates a user may ask for, in frames a second; on battery, 0 keeps the picture still.
constexpr int min_frame_rate = 1;
constexpr int max_frame_rate = 240;
constexpr int default_frame_rate = 60;
constexpr int default_battery_frame_rate = 30;

// How long each script of a rotation is shown (--every), in seconds; without --every, several
// scripts switch after the default.
constexpr int min_every = 1;             // seconds
constexpr int max_every = 24 * 60 * 60;  // seconds
constexpr int default_every = 10 * 60;   // seconds

// Where a script of the run comes from: --script PATH (a file, or a folder of *.txt scripts) or
// --link ADDRESS (a share link of the playground).
enum class script_origin { path, link };

struct script_argument_t {
    script_origin origin;
    const char* value;  // the path or the address, as given
};

// The display system a run was asked for; automatic follows WAYLAND_DISPLAY and WAYLAND_SOCKET.
enum class display_choice { automatic, x11, wayland };

// The Wayland layer the saver's surfaces go on.
enum class saver_layer { overlay, background };

struct options_t {
    run_mode mode = run_mode::window;
    display_choice display = display_choice::automatic;
    saver_layer layer = saver_layer::overlay;
    unsigned long window_id = 0;  // saver_window_id only: an X window id
    // Wayland --saver, --lock-background: the one output covered, as the compositor names it;
    // null: every output.
    const char* output_name = nullptr;
    bool fps = false;     // draw the frames-per-second readout
    bool seeded = false;  // seed given: fixed animation instead of the clock's
    uint32_t seed = 0;
    int frame_rate = default_frame_rate;                  // frames a second
    int battery_frame_rate = default_battery_frame_rate;  // frames a second on battery; 0: still
    // The user's scripts in the order given; none: the built-in one. More than one, or a folder,
    // make a rotation.
    std::vector<script_argument_t> scripts;
    int every = 0;         // seconds each script is shown before the next starts; 0: not given
    bool shuffle = false;  // a rotation in random order, each round a new one
    const char* bad_argument = nullptr;  // usage_error: the argument at fault
    const char* bad_value = nullptr;     // a malformed value's fault: the value given
    argument_fault fault = argument_fault::none;
};

enum class display_system { x11, wayland };

options_t parse_options(int argc, char** argv);
// Parses a duration of MIN_EVERY to MAX_EVERY seconds: N or Ns seconds, Nm minutes, Nh hours;
// false when TEXT is not one.
bool parse_every(const char* text, int& seconds);
// Parses a window id in hex (0x...), octal or decimal; false when TEXT is not one.
bool parse_window_id(const char* text, unsigned long& id);
void print_usage(FILE* stream);
// What is wrong with a command line of mode usage_error: one line for a malformed value, the
// usage after it for an unknown flag or a missing value.
void print_usage_error(FILE* stream, const options_t& options);
// Wayland when asked for, for --lock-background, or when WAYLAND_DISPLAY or WAYLAND_SOCKET (their
// values, null when unset) is set and no mode that only an X11 screen-saver daemon uses was given;
// X11 otherwise.
display_system choose_display_system(const options_t& options, const char* wayland_display,
                                     const char* wayland_socket);

}  // namespace lumenweave::linux
