// The command line of the Linux program: window mode by default, the screen-saver daemons'
// conventions (-root, -window-id) and the flags such display programs accept and ignore, --saver
// and the choice between X11 and Wayland.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/linux/options.hpp"

namespace lumenweave::linux {
namespace {

// X resource ids have 29 significant bits; 0 names no window.
constexpr unsigned long long largest_window_id = 0x1fffffffULL;

// Daemons and users write flags with one dash or two; both mean the same.
bool is_flag(const char* argument, const char* name) {
    if (argument[0] != '-') {
        return false;
    }
    const char* rest = argument + (argument[1] == '-' ? 2 : 1);
    return std::strcmp(rest, name) == 0;
}

// A whole number of BASE (0: as C writes it) up to MAX; strtoull alone would take a sign,
// leading blanks or trailing text.
bool parse_number(const char* text, int base, unsigned long long max, unsigned long long& value) {
    if (text[0] < '0' || text[0] > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, base);
    return errno == 0 && *end == '\0' && value <= max;
}

bool parse_seed(const char* text, uint32_t& seed) {
    unsigned long long value = 0;
    if (!parse_number(text, 10, UINT32_MAX, value)) {
        return false;
    }
    seed = static_cast<uint32_t>(value);
    return true;
}

bool parse_frame_rate(const char* text, int min, int& rate) {
    unsigned long long value = 0;
    if (!parse_number(text, 10, max_frame_rate, value) || value < static_cast<unsigned>(min)) {
        return false;
    }
    rate = static_cast<int>(value);
    return true;
}

bool parse_layer(const char* text, saver_layer& layer) {
    if (std::strcmp(text, "overlay") == 0) {
        layer = saver_layer::overlay;
    } else if (std::strcmp(text, "background") == 0) {
        layer = saver_layer::background;
    } else {
        return false;
    }
    return true;
}

options_t usage_error(options_t options, argument_fault fault, const char* argument,
                      const char* value = nullptr) {
    options.mode = run_mode::usage_error;
    options.fault = fault;
    options.bad_argument = argument;
    options.bad_value = value;
    return options;
}

}  // namespace

bool parse_every(const char* text, int& seconds) {
    const std::size_t length = std::strlen(text);
    const char unit = length > 0 ? text[length - 1] : '\0';
    const int scale = unit == 'h' ? 3600 : unit == 'm' ? 60 : 1;
    const std::string number(text, unit == 'h' || unit == 'm' || unit == 's' ? length - 1 : length);
    unsigned long long value = 0;
    if (!parse_number(number.c_str(), 10, max_every, value) || value * scale < min_every ||
        value * scale > max_every) {
        return false;
    }
    seconds = static_cast<int>(value * scale);
    return true;
}

bool parse_window_id(const char* text, unsigned long& id) {
    unsigned long long value = 0;
    if (!parse_number(text, 0, largest_window_id, value) || value == 0) {
        return false;
    }
    id = static_cast<unsigned long>(value);
    return true;
}

namespace {

// A flag that takes a value: what the value sets, false when it is malformed, and the fault then.
struct value_flag_t {
    const char* name;
    bool (*take)(const char* value, options_t& options);
    argument_fault fault;  // none: any value is taken
};

constexpr value_flag_t value_flags[] = {
    {"window-id",
     [](const char* value, options_t& options) {
         options.mode = run_mode::saver_window_id;
         return parse_window_id(value, options.window_id);
     },
     argument_fault::bad_window_id},
    {"layer",
     [](const char* value, options_t& options) { return parse_layer(value, options.layer); },
     argument_fault::bad_layer},
    {"output",
     [](const char* value, options_t& options) {
         options.output_name = value;
         return true;
     },
     argument_fault::none},
    {"seed",
     [](const char* value, options_t& options) {
         options.seeded = true;
         return parse_seed(value, options.seed);
     },
     argument_fault::bad_seed},
    {"frame-rate",
     [](const char* value, options_t& options) {
         return parse_frame_rate(value, min_frame_rate, options.frame_rate);
     },
     argument_fault::bad_frame_rate},
    {"battery-frame-rate",
     [](const char* value, options_t& options) {
         return parse_frame_rate(value, 0, options.battery_frame_rate);
     },
     argument_fault::bad_battery_frame_rate},
    {"script",
     [](const char* value, options_t& options) {
         options.scripts.push_back({script_origin::path, value});
         return true;
     },
     argument_fault::none},
    {"link",
     [](const char* value, options_t& options) {
         options.scripts.push_back({script_origin::link, value});
         return true;
     },
     argument_fault::none},
    {"every",
     [](const char* value, options_t& options) { return parse_every(value, options.every); },
     argument_fault::bad_every},
    // Screen-saver daemons may pass these; their values are taken and ignored.
    {"delay", [](const char*, options_t&) { return true; }, argument_fault::none},
    {"visual", [](const char*, options_t&) { return true; }, argument_fault::none},
    {"display", [](const char*, options_t&) { return true; }, argument_fault::none},
};

const value_flag_t* find_value_flag(const char* argument) {
    for (const value_flag_t& flag : value_flags) {
        if (is_flag(argument, flag.name)) {
            return &flag;
        }
    }
    return nullptr;
}

}  // namespace

options_t parse_options(int argc, char** argv) {
    options_t options;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (const value_flag_t* flag = find_value_flag(argument)) {
            if (i + 1 == argc) {
                return usage_error(options, argument_fault::missing_value, argument);
            }
            const char* value = argv[++i];
            if (!flag->take(value, options)) {
                return usage_error(options, flag->fault, argument, value);
            }
        } else if (is_flag(argument, "root")) {
            options.mode = run_mode::saver_root;
        } else if (is_flag(argument, "saver")) {
            options.mode = run_mode::saver;
        } else if (is_flag(argument, "lock-background")) {
            options.mode = run_mode::lock_background;
        } else if (is_flag(argument, "x11")) {
            options.display = display_choice::x11;
        } else if (is_flag(argument, "wayland")) {
            options.display = display_choice::wayland;
        } else if (is_flag(argument, "fps")) {
            options.fps = true;
        } else if (is_flag(argument, "shuffle")) {
            options.shuffle = true;
        } else if (is_flag(argument, "install")) {
            continue;
        } else if (is_flag(argument, "help") || is_flag(argument, "h")) {
            options.mode = run_mode::help;
            return options;
        } else if (is_flag(argument, "version")) {
            options.mode = run_mode::version;
            return options;
        } else {
            return usage_error(options, argument_fault::unknown_flag, argument);
        }
    }
    if (options.output_name != nullptr && options.mode != run_mode::saver &&
        options.mode != run_mode::lock_background) {
        return usage_error(options, argument_fault::output_without_saver, "--output");
    }
    // A locker's background lies behind its lock surfaces, on the background layer.
    if (options.mode == run_mode::lock_background) {
        options.layer = saver_layer::background;
    }
    return options;
}

void print_usage(FILE* stream) {
    std::fputs(
        "usage: lumenweave [--saver | --lock-background | --root | --window-id ID]\n"
        "                  [--x11 | --wayland]\n"
        "                  [--layer overlay|background] [--output NAME] [--fps]\n"
        "                  [--frame-rate N] [--battery-frame-rate N] [--seed T]\n"
        "                  [--script FILE|DIR]... [--link ADDRESS]... [--every T] [--shuffle]\n"
        "  (no flag)        a 640 x 480 window: F full screen, N a clone window, Escape or Q "
        "ends\n"
        "                   (X11 and Wayland)\n"
        "  --saver          cover every monitor or output; any key, button or pointer move ends\n"
        "                   it (X11 and Wayland; for swayidle, xss-lock or xidlehook)\n"
        "  --lock-background\n"
        "                   Wayland: the background program of a screen locker, which hands\n"
        "                   over its connection in WAYLAND_SOCKET: every output it offers, or\n"
        "                   SWAYLOCK_PLUGIN_OUTPUT_NAME's; ends with 0 when the locker closes it\n"
        "  --root           draw into the window in XSCREENSAVER_WINDOW, or the root window\n"
        "                   (X11 only: for the X11 screen-saver daemon)\n"
        "  --window-id ID   draw into window ID (hex 0x..., or decimal; X11 only)\n"
        "  --x11, --wayland the display system; by default Wayland when WAYLAND_DISPLAY or\n"
        "                   WAYLAND_SOCKET is set and neither --root nor --window-id is given\n"
        "  --layer L        Wayland --saver: the layer its surfaces go on (default overlay);\n"
        "                   on background it is a wallpaper, which input never ends\n"
        "  --output NAME    Wayland --saver, --lock-background: that output only (as\n"
        "                   swaymsg -t get_outputs names it)\n"
        "  --fps            show frames per second and the frame time in a corner\n"
        "  --frame-rate N   draw N frames a second, 1 to 240 (default 60); the animation keeps\n"
        "                   its speed at any rate\n"
        "  --battery-frame-rate N\n"
        "                   the frame rate on battery power, 0 to 240 (default 30); 0 keeps the\n"
        "                   picture still\n"
        "  --seed T         a fixed animation seed (default: the clock)\n"
        "  --script FILE    run the animation script in FILE; one with problems is reported\n"
        "                   (as lumenweave-sim --check does) and the built-in script runs.\n"
        "                   FILE is read again whenever it is saved\n"
        "  --link ADDRESS   run the script and seed of a share link of the playground (the\n"
        "                   address Share copies, quoted, or its #z=... part)\n"
        "  --script DIR     the *.txt scripts in DIR, in name order, as a rotation\n"
        "  --every T        with several scripts (--script and --link repeated, or a folder),\n"
        "                   show each for T seconds (30 or 30s), minutes (10m) or hours (1h)\n"
        "                   of drawing, then start the next afresh (default 10m); a script\n"
        "                   with problems is reported and left out\n"
        "  --shuffle        the rotation in random order, none repeated before all have run\n"
        "  --help, --version\n"
        "Flags take one dash or two. -delay N, -visual V, -install and -display NAME are\n"
        "accepted and ignored, as screen-saver daemons may pass them.\n",
        stream);
}

void print_usage_error(FILE* stream, const options_t& options) {
    switch (options.fault) {
        case argument_fault::bad_window_id:
            std::fprintf(stream,
                         "lumenweave: %s %s: not a window id: give 0x1 to 0x%llx in hex, or 1 to "
                         "%llu in decimal\n",
                         options.bad_argument, options.bad_value, largest_window_id,
                         largest_window_id);
            return;
        case argument_fault::bad_seed:
            std::fprintf(stream,
                         "lumenweave: %s %s: not a seed: give a whole number from 0 to %u\n",
                         options.bad_argument, options.bad_value, UINT32_MAX);
            return;
        case argument_fault::bad_layer:
            std::fprintf(stream, "lumenweave: %s %s: not a layer: give overlay or background\n",
                         options.bad_argument, options.bad_value);
            return;
        case argument_fault::bad_frame_rate:
        case argument_fault::bad_battery_frame_rate:
            std::fprintf(stream,
                         "lumenweave: %s %s: not a frame rate: give a whole number from %d to %d\n",
                         options.bad_argument, options.bad_value,
                         options.fault == argument_fault::bad_frame_rate ? min_frame_rate : 0,
                         max_frame_rate);
            return;
        case argument_fault::bad_every:
            std::fprintf(stream,
                         "lumenweave: %s %s: not a duration: give seconds (30 or 30s), minutes "
                         "(10m) or hours (1h), from %d s to %d h\n",
                         options.bad_argument, options.bad_value, min_every, max_every / 3600);
            return;
        case argument_fault::output_without_saver:
            std::fprintf(stream, "lumenweave: --output needs --saver or --lock-background\n");
            return;
        case argument_fault::missing_value:
            std::fprintf(stream, "lumenweave: %s needs a value\n", options.bad_argument);
            break;
        case argument_fault::unknown_flag:
        case argument_fault::none:
            std::fprintf(stream, "lumenweave: unknown flag: %s\n", options.bad_argument);
            break;
    }
    print_usage(stream);
}

display_system choose_display_system(const options_t& options, const char* wayland_display,
                                     const char* wayland_socket) {
    switch (options.display) {
        case display_choice::x11:
            return display_system::x11;
        case display_choice::wayland:
            return display_system::wayland;
        case display_choice::automatic:
            break;
    }
    if (options.mode == run_mode::lock_background) {
        return display_system::wayland;
    }
    const bool daemon_mode =
        options.mode == run_mode::saver_root || options.mode == run_mode::saver_window_id;
    // A locker hands its program a connection of its own and unsets WAYLAND_DISPLAY.
    const auto set = [](const char* value) { return value != nullptr && value[0] != '\0'; };
    const bool wayland_session = set(wayland_display) || set(wayland_socket);
    return wayland_session && !daemon_mode ? display_system::wayland : display_system::x11;
}

}  // namespace lumenweave::linux
