// The Linux program's entry, and only that: reads the command line and the scripts it names,
// answers --help and --version, chooses X11 or Wayland, keeps a second saver off a display and runs
// the session (session.hpp) with that display system's host.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "hosts/linux/display_hosts.hpp"
#include "hosts/linux/failure.hpp"
#include "hosts/linux/saver_lock.hpp"
#include "hosts/linux/script.hpp"
#include "lumenweave/version.hpp"

int main(int argc, char** argv) {
    using namespace lumenweave::linux;
    const options_t options = parse_options(argc, argv);
    switch (options.mode) {
        case run_mode::help:
            print_usage(stdout);
            return 0;
        case run_mode::version:
            std::printf("lumenweave %s\n", LUMENWEAVE_VERSION);
            return 0;
        case run_mode::usage_error:
            print_usage_error(stderr, options);
            return 2;
        default:
            break;
    }
    // The engine record is large; it lives for the whole run anyway.
    static session_t session;
    session.options = options;
    const bool on_wayland =
        choose_display_system(options, std::getenv("WAYLAND_DISPLAY"),
                              std::getenv("WAYLAND_SOCKET")) == display_system::wayland;
    if (on_wayland &&
        (options.mode == run_mode::saver_root || options.mode == run_mode::saver_window_id)) {
        report_failure(failure_kind::modes_need_x11);
        return 2;
    }
    // X11 covers every monitor; picking one is the Wayland compositor's business.
    if (!on_wayland && options.output_name != nullptr) {
        report_failure(failure_kind::output_needs_wayland);
        return 2;
    }
    if (!on_wayland && options.mode == run_mode::lock_background) {
        report_failure(failure_kind::lock_background_needs_wayland);
        return 2;
    }
    // A second saver over the first would need a key of its own, and an idle daemon may start
    // one while the first runs: it ends at once, with 0, as the daemon asked for nothing that
    // failed. A wallpaper on the background layer is no saver; one on a chosen output (--output)
    // keeps only that output.
    std::optional<saver_lock> lock;  // held to the end of the run
    if (options.mode == run_mode::saver && options.layer == saver_layer::overlay) {
        std::string key =
            saver_display_key(on_wayland ? display_system::wayland : display_system::x11,
                              std::getenv(on_wayland ? "WAYLAND_DISPLAY" : "DISPLAY"),
                              std::getenv("XDG_RUNTIME_DIR"));
        if (options.output_name != nullptr) {
            key = key + " output " + options.output_name;
        }
        lock.emplace(key);
        if (lock->held_elsewhere()) {
            report_failure(failure_kind::saver_running);
            return 0;
        }
    }
    // The locker's program for one output (its --command-each) learns the output's name here.
    const char* locker_output = std::getenv("SWAYLOCK_PLUGIN_OUTPUT_NAME");
    if (options.mode == run_mode::lock_background && options.output_name == nullptr &&
        locker_output != nullptr && locker_output[0] != '\0') {
        session.options.output_name = locker_output;
    }
    // A link that cannot be read, or scripts none of which can run, end the run before any
    // display opens, as a malformed flag does; a second saver, ended above, says nothing of them
    // again.
    if (!read_scripts(session)) {
        return 2;
    }
    return run_session(session, on_wayland ? wayland_host(session) : x11_host(session));
}
