// Reading and checking the user's scripts, and starting the animation on them, for either Linux
// host.
#include "hosts/linux/script.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "hosts/linux/failure.hpp"
#include "hosts/linux/frame_log.hpp"
#include "read_whole/read_whole.hpp"
#include "script/check.hpp"
#include "script/parser.hpp"
#include "share_link/share_link.hpp"

namespace lumenweave::linux {
namespace {

// Says TEXT's problems on standard error, each line starting with NAME; whether it may run.
bool check_script(const std::string& name, const std::string& text) {
    const std::vector<script::ScriptProblem> problems = script::checkScript(text);
    for (const script::ScriptProblem& problem : problems) {
        std::fprintf(stderr, "%s\n", formatProblem(name, problem).c_str());
    }
    // Warnings are said and the script runs: its lines mean what the parse makes of them.
    return !hasErrors(problems);
}

// The user's script if it reads and checks clean; otherwise says why on standard error, ending
// with the failure of the kind given.
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

bool is_folder(const char* path) {
    struct stat status = {};
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

void add_file(rotation_t& rotation, const std::string& path) {
    const std::optional<std::string> text =
        sound_script(path.c_str(), failure_kind::listed_script_unreadable,
                     failure_kind::listed_script_has_problems);
    if (text) {
        rotation.scripts.push_back({path, *text, std::nullopt});
    }
}

// The folder's *.txt files in name order (bytewise, as the C locale sorts), each a turn; hidden
// files are left out, as the shell's *.txt leaves them. False: none there.
bool add_folder(rotation_t& rotation, const std::string& folder) {
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        const std::string detail = folder + ": " + std::strerror(errno);
        report_failure(failure_kind::listed_script_unreadable, detail.c_str());
        return true;
    }
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    std::vector<std::string> paths;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        const std::string path = prefix + name;
        if (name[0] != '.' && name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0 &&
            !is_folder(path.c_str())) {
            paths.push_back(path);
        }
    }
    closedir(directory);
    if (paths.empty()) {
        report_failure(failure_kind::empty_folder, folder.c_str());
        return false;
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        add_file(rotation, path);
    }
    return true;
}

// The Nth --link; ALONE: the run's only script, which must run. False after saying why not.
bool add_link(rotation_t& rotation, const char* address, int n, bool alone) {
    const std::string name = "link " + std::to_string(n);
    share_link::ShareLink link = share_link::readShareLink(address);
    switch (link.kind) {
        case share_link::LinkKind::notALink:
            report_failure(failure_kind::not_a_link, name.c_str());
            return false;
        case share_link::LinkKind::damaged:
            report_failure(failure_kind::damaged_link, name.c_str());
            return false;
        case share_link::LinkKind::emptyScript:
            report_failure(failure_kind::empty_link, name.c_str());
            return false;
        case share_link::LinkKind::tooLarge: {
            const std::string detail = name + ": " + std::to_string(link.length) + " bytes, " +
                                       std::to_string(share_link::maxLinkedScript) + " at most";
            report_failure(failure_kind::long_link, detail.c_str());
            return false;
        }
        case share_link::LinkKind::script:
            break;
    }
    if (link.refusedSeed) {
        const std::string detail = name + ": seed=" + *link.refusedSeed;
        report_failure(failure_kind::link_seed_refused, detail.c_str());
    }
    if (check_script(name, link.text)) {
        rotation.scripts.push_back({name, std::move(link.text), link.seed});
        return true;
    }
    report_failure(
        alone ? failure_kind::link_has_problems : failure_kind::listed_script_has_problems,
        name.c_str());
    return !alone;
}

// Starts the engine on the rotation's script of this turn, or on the built-in one.
void start_turn(session_t& session) {
    const options_t& options = session.options;
    const rotation_t& rotation = session.rotation;
    const uint32_t given =
        options.seeded ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    if (rotation.order.empty()) {
        session.seed = given;
        initEngineWithSeed(session.engine, session.seed);
        return;
    }
    const std::size_t index = rotation.order[rotation.turn];
    const listed_script_t& script = rotation.scripts[index];
    session.seed = script.seed.value_or(given);
    initEngineWithScript(session.engine, session.seed, script.text.c_str());
    log_event(log_item::script, "%zu %s", index, script.name.c_str());
}

}  // namespace

script_reading_t read_script(const char* path) {
    script_reading_t reading;
    std::FILE* in = std::fopen(path, "rb");
    const bool read = in != nullptr && read_whole::readWhole(in, reading.text);
    const int error = errno;
    if (in != nullptr) {
        std::fclose(in);
    }
    if (!read) {
        reading.state = script_state::unreadable;
        reading.detail = std::string(path) + ": " + std::strerror(error);
        return reading;
    }
    if (!check_script(path, reading.text)) {
        reading.state = script_state::has_problems;
    }
    return reading;
}

bool read_scripts(session_t& session) {
    const options_t& options = session.options;
    const std::vector<script_argument_t>& arguments = options.scripts;
    rotation_t& rotation = session.rotation;
    rotation.shuffle = options.shuffle;
    rotation.random.seed(std::random_device{}());
    if (arguments.size() == 1 && arguments[0].origin == script_origin::path &&
        !is_folder(arguments[0].value)) {
        // A script with problems leaves the built-in figure rather than a black screen, and a
        // save that mends it takes its place.
        const char* path = arguments[0].value;
        const std::optional<std::string> text =
            sound_script(path, failure_kind::script_unreadable, failure_kind::script_has_problems);
        if (text) {
            rotation.scripts.push_back({path, *text, std::nullopt});
        }
        start_script_watch(session.script_watch, path);
    } else {
        int links = 0;
        for (const script_argument_t& argument : arguments) {
            const bool go_on =
                argument.origin == script_origin::link
                    ? add_link(rotation, argument.value, ++links, arguments.size() == 1)
                : is_folder(argument.value) ? add_folder(rotation, argument.value)
                                            : (add_file(rotation, argument.value), true);
            if (!go_on) {
                return false;
            }
        }
        if (!arguments.empty() && rotation.scripts.empty()) {
            report_failure(failure_kind::no_sound_script);
            return false;
        }
    }
    const int every = options.every != 0            ? options.every
                      : rotation.scripts.size() > 1 ? default_every
                                                    : 0;
    rotation.steps_per_turn = static_cast<uint64_t>(every) * frame::steps_per_second;
    return true;
}

void start_script(session_t& session) {
    start_rotation(session.rotation);
    start_turn(session);
}

void start_next_script(session_t& session) {
    next_turn(session.rotation);
    start_turn(session);
    session.engine_frame = 0;
    restart_step_clock(session);
}

void follow_script(session_t& session) {
    if (!script_changed(session.script_watch)) {
        return;
    }
    const char* path = session.options.scripts[0].value;
    const std::optional<std::string> script = sound_script(
        path, failure_kind::changed_script_unreadable, failure_kind::changed_script_has_problems);
    if (script) {
        rotation_t& rotation = session.rotation;
        rotation.scripts = {{path, *script, std::nullopt}};
        if (rotation.order.empty()) {
            start_rotation(rotation);
        }
        initEngineWithScript(session.engine, session.seed, script->c_str());
    }
}

}  // namespace lumenweave::linux
