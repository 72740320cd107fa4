// The Wayland host's run: connects to the compositor, finds its globals, puts a layer surface on
// every output (--saver) or opens the window, starts EGL and the engine, and runs the frame loop
// until a stop.
#include <ctime>

#include "hosts/linux/hosts.hpp"
#include "hosts/linux/report.hpp"
#include "hosts/linux/script.hpp"
#include "hosts/wayland/host.hpp"

namespace lumenweave_wayland {
namespace {

struct failure_text_t {
    failure_kind kind;
    const char* text;
};

constexpr failure_text_t failure_texts[] = {
    {failure_kind::no_display,
     "cannot connect to the Wayland compositor (is WAYLAND_DISPLAY set?)"},
    {failure_kind::no_layer_shell,
     "the Wayland compositor has no layer shell (zwlr_layer_shell_v1); --saver needs it"},
    {failure_kind::no_xdg_shell, "the Wayland compositor has no xdg_wm_base for windows"},
    {failure_kind::no_compositor, "the Wayland compositor offers no wl_compositor"},
    {failure_kind::no_egl, "cannot start EGL with desktop OpenGL on the Wayland display"},
    {failure_kind::no_context, "cannot create an OpenGL context"},
    {failure_kind::cannot_create_surface, "cannot draw into a Wayland surface with OpenGL"},
    {failure_kind::connection_lost, "the connection to the Wayland compositor was lost"},
    {failure_kind::script_unreadable, "cannot read the script; running the built-in one"},
    {failure_kind::script_has_problems,
     "the script has the problems above; running the built-in one"},
};

void start_engine(host_t& host) {
    const uint32_t seed =
        host.options.seeded ? host.options.seed : static_cast<uint32_t>(std::time(nullptr));
    if (host.options.script_path == nullptr) {
        initEngineWithSeed(host.engine, seed);
        return;
    }
    // A script with problems leaves the built-in figure rather than a black screen.
    const lumenweave_linux::script_reading_t reading =
        lumenweave_linux::read_script(host.options.script_path);
    switch (reading.state) {
        case lumenweave_linux::script_state::sound:
            initEngineWithScript(host.engine, seed, reading.text.c_str());
            return;
        case lumenweave_linux::script_state::unreadable:
            report_failure(failure_kind::script_unreadable, reading.detail.c_str());
            break;
        case lumenweave_linux::script_state::has_problems:
            report_failure(failure_kind::script_has_problems, host.options.script_path);
            break;
    }
    initEngineWithSeed(host.engine, seed);
}

// Globals, EGL, the first surfaces and the engine; false after reporting what failed.
bool start(host_t& host) {
    host.display = wl_display_connect(nullptr);
    if (host.display == nullptr) {
        report_failure(failure_kind::no_display);
        return false;
    }
    host.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    listen_to_registry(host);
    // The second round trip brings the outputs' places and the seat's capabilities.
    if (wl_display_roundtrip(host.display) < 0 || wl_display_roundtrip(host.display) < 0) {
        report_failure(failure_kind::connection_lost);
        return false;
    }
    const bool saver = host.options.mode == run_mode::saver;
    if (host.compositor == nullptr) {
        report_failure(failure_kind::no_compositor);
        return false;
    }
    if (saver && host.layer_shell == nullptr) {
        report_failure(failure_kind::no_layer_shell);
        return false;
    }
    if (!saver && host.wm_base == nullptr) {
        report_failure(failure_kind::no_xdg_shell);
        return false;
    }
    if (!start_egl(host)) {
        return false;
    }
    host.started = true;
    if (saver) {
        for (const std::unique_ptr<output_t>& output : host.outputs) {
            add_layer_surface(host, *output);
        }
    } else {
        add_toplevel(host, true);
    }
    start_engine(host);
    return true;
}

void stop(host_t& host) {
    if (host.display == nullptr) {
        return;
    }
    release_input(host);
    stop_egl(host);
    release_globals(host);
    xkb_context_unref(host.xkb);
    wl_display_disconnect(host.display);
    host.display = nullptr;
}

}  // namespace

void report_failure(failure_kind kind, const char* detail) {
    lumenweave_linux::report_from(failure_texts, kind, detail);
}

}  // namespace lumenweave_wayland

int lumenweave_linux::run_wayland_host(const options_t& options) {
    using namespace lumenweave_wayland;
    // The engine record is large; it lives for the whole run anyway.
    static host_t host;
    host.options = options;
    // The test build notes its start for the start-up figure of the pacing measurement.
    log_event("start %lld", static_cast<long long>(monotonic_ns()));
    install_stop_signals();
    const int code = start(host) ? run_frames(host) : 1;
    stop(host);
    return code;
}
