// Reading and checking the user's script for either Linux host.
#include "hosts/linux/script.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "script/check.hpp"
#include "script/script.hpp"

namespace lumenweave_linux {

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

}  // namespace lumenweave_linux
