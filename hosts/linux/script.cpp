// Reading and checking the user's script for either Linux host, so that a saver shows the
// built-in figure rather than a black screen when the script cannot run.
#include "hosts/linux/script.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "script/check.hpp"
#include "script/script.hpp"

namespace lumenweave_linux {
namespace {

std::optional<std::string> read_file(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) {
        return std::nullopt;
    }
    std::string text;
    const bool read = readWhole(in, text);
    const int error = errno;
    std::fclose(in);
    errno = error;
    return read ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

std::optional<std::string> sound_script(const char* path) {
    const std::optional<std::string> text = read_file(path);
    if (!text) {
        std::fprintf(stderr,
                     "lumenweave: cannot read the script; running the built-in one: %s: %s\n", path,
                     std::strerror(errno));
        return std::nullopt;
    }
    const std::vector<ScriptProblem> problems = checkScript(*text);
    for (const ScriptProblem& problem : problems) {
        std::fprintf(stderr, "%s\n", formatProblem(path, problem).c_str());
    }
    if (!problems.empty()) {
        std::fprintf(
            stderr, "lumenweave: the script has the problems above; running the built-in one: %s\n",
            path);
        return std::nullopt;
    }
    return text;
}

}  // namespace lumenweave_linux
