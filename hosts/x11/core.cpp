// The host's only calls into the portable core: engine start and restart (on the user's script
// when it is sound), a frame of the master (recorded into the draw list and replayed), a mirror's
// replay of that list and the view of a window.
#include <ctime>
#include <optional>
#include <string>

#include "replay/gl1/replay.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "hosts/linux/script.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
namespace {

// The user's script if it reads and checks clean; otherwise says why on standard error, ending
// with the failure of the kind given, and what runs instead.
std::optional<std::string> sound_script(const char* path, failure_kind unreadable,
                                        failure_kind has_problems) {
    const lumenweave_linux::script_reading_t reading = lumenweave_linux::read_script(path);
    switch (reading.state) {
        case lumenweave_linux::script_state::unreadable:
            report_failure(unreadable, reading.detail.c_str());
            return std::nullopt;
        case lumenweave_linux::script_state::has_problems:
            report_failure(has_problems, path);
            return std::nullopt;
        case lumenweave_linux::script_state::sound:
            break;
    }
    return reading.text;
}

}  // namespace

// A script with problems leaves the built-in figure rather than a black screen.
void core_start(host_t& host) {
    host.seed = host.options.seeded ? host.options.seed : static_cast<uint32_t>(std::time(nullptr));
    const std::optional<std::string> script =
        host.options.script_path
            ? sound_script(host.options.script_path, failure_kind::script_unreadable,
                           failure_kind::script_has_problems)
            : std::nullopt;
    if (script) {
        initEngineWithScript(host.engine, host.seed, script->c_str());
    } else {
        initEngineWithSeed(host.engine, host.seed);
    }
}

void core_reload_script(host_t& host) {
    const std::optional<std::string> script =
        sound_script(host.options.script_path, failure_kind::changed_script_unreadable,
                     failure_kind::changed_script_has_problems);
    if (script) {
        initEngineWithScript(host.engine, host.seed, script->c_str());
    }
}

void core_draw_master(host_t& host) {
    renderFrame(host.engine, &host.draw_list);
    ++host.engine_frame;
}

void core_draw_mirror(const host_t& host) {
    replay_draw_list(host.draw_list);
}

void core_view(uint32_t width, uint32_t height) {
    setupView(width, height);
}

}  // namespace lumenweave_x11
