// Reading and checking the user's script, and starting the animation on it, for either Linux host.
#include "hosts/linux/script.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "hosts/linux/failure.hpp"
#include "read_whole/read_whole.hpp"
#include "script/check.hpp"
#include "script/parser.hpp"

namespace lumenweave::linux_session {
namespace {

// The user's script if it reads and checks clean; otherwise says why on standard error, ending
// with the failure of the kind given, and what runs instead.
std::optional<std::string> sound_script(const char* path, failure_kind unreadable,
                                        failure_kind has_problems) {
    const script_reading_t reading = read_script(path);
    switch (reading.state) {
        case script_state::unreadable:
            report_failure(unreadable, reading.detail.c_str());
            return std::nullopt;
        case script_state::has_problems:
            report_failure(has_problems, path);
            return std::nullopt;
        case script_state::sound:
            break;
    }
    return reading.text;
}

}  // namespace

script_reading_t read_script(const char* path) {
    script_reading_t reading;
    std::FILE* in = std::fopen(path, "rb");
    const bool read = in != nullptr && readWhole(in, reading.text);
    const int error = errno;
    if (in != nullptr) {
        std::fclose(in);
    }
    if (!read) {
        reading.state = script_state::unreadable;
        reading.detail = std::string(path) + ": " + std::strerror(error);
        return reading;
    }
    const std::vector<ScriptProblem> problems = checkScript(reading.text);
    for (const ScriptProblem& problem : problems) {
        std::fprintf(stderr, "%s\n", formatProblem(path, problem).c_str());
    }
    // Warnings are said and the script runs: its lines mean what the parse makes of them.
    if (hasErrors(problems)) {
        reading.state = script_state::has_problems;
    }
    return reading;
}

// A script with problems leaves the built-in figure rather than a black screen.
void start_script(session_t& session) {
    const options_t& options = session.options;
    session.seed = options.seeded ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    const std::optional<std::string> script =
        options.script_path != nullptr
            ? sound_script(options.script_path, failure_kind::script_unreadable,
                           failure_kind::script_has_problems)
            : std::nullopt;
    if (script) {
        initEngineWithScript(session.engine, session.seed, script->c_str());
    } else {
        initEngineWithSeed(session.engine, session.seed);
    }
    if (options.script_path != nullptr) {
        start_script_watch(session.script_watch, options.script_path);
    }
}

void follow_script(session_t& session) {
    if (!script_changed(session.script_watch)) {
        return;
    }
    const std::optional<std::string> script =
        sound_script(session.options.script_path, failure_kind::changed_script_unreadable,
                     failure_kind::changed_script_has_problems);
    if (script) {
        initEngineWithScript(session.engine, session.seed, script->c_str());
    }
}

}  // namespace lumenweave::linux_session
