// lumenweave-sim: runs the animation engine without OpenGL and prints, after every frame, the
// values of the 14 actuators, or with --trace the parser's and the sequencer's trace lines.
// With --check it runs nothing and lists the problems of a script instead; with
// --list-actuators it names the actuators, for scripts that write scripts.
// The trace is fixed when the core is built, so --trace runs lumenweave-sim-trace, this same
// program built on the trace core, which sits beside this executable.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "engine/settings.hpp"
#include "frame/frame.hpp"
#include "options.hpp"
#include "read_script.hpp"
#include "script/check.hpp"
#include "sim_output/sim_output.hpp"

using namespace lumenweave;

namespace {

struct Options {
    std::optional<uint32_t> seed;
    unsigned long long frames = 0;
    std::optional<std::string> scriptPath;
    std::optional<std::string> checkPath;
    bool trace = false;
    bool listActuators = false;
};

// Stops at the first output that could not be written instead of running on.
void checkOutput() {
    if (std::ferror(stdout)) {
        tools::outputError(std::string("cannot write the output: ") + std::strerror(errno));
    }
}

Options parseOptions(int argc, char** argv) {
    Options o;
    tools::parseFlags(
        argc, argv, sim_output::usage().c_str(),
        {{"--seed", true},
         {"--frames", true},
         {"--script", true},
         {"--trace", false},
         {"--check", true},
         {"--list-actuators", false}},
        [&o](const std::string& flag, const char* value) {
            if (flag == "--trace") {
                o.trace = true;
            } else if (flag == "--list-actuators") {
                o.listActuators = true;
            } else if (flag == "--script") {
                o.scriptPath = value;
            } else if (flag == "--check") {
                o.checkPath = value;
            } else if (flag == "--seed") {
                // srand48 keeps the low 32 bits of its argument.
                o.seed =
                    static_cast<uint32_t>(tools::parseNumber(flag, value, INT64_MIN, INT64_MAX));
            } else {
                o.frames =
                    static_cast<unsigned long long>(tools::parseNumber(flag, value, 0, INT64_MAX));
            }
        });
    if (o.checkPath && (o.seed || o.frames || o.scriptPath || o.trace || o.listActuators)) {
        tools::usageError("--check takes no other flag");
    }
    if (o.listActuators && (o.seed || o.frames || o.scriptPath || o.trace)) {
        tools::usageError("--list-actuators takes no other flag");
    }
    return o;
}

// Replaces this process with the trace build beside it, passing the same arguments.
[[noreturn]] void runTraceBuild(char** argv) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, n) : std::string(argv[0]);
    const std::size_t slash = path.rfind('/');
    path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           "lumenweave-sim-trace";
    std::fflush(stdout);
    execv(path.c_str(), argv);
    tools::outputError("cannot run " + path + ": " + std::strerror(errno));
}

// The core's trace lines, on standard output.
void printLogLine(void*, const char* text) {
    std::printf("%s\n", text);
}

// Prints every problem of the script as FILE:LINE: message and gives the exit status: 1 when one
// is an error, as a script with warnings alone runs.
int checkScriptFile(const std::string& path) {
    const std::string name = path == "-" ? "<stdin>" : path;
    const std::vector<script::ScriptProblem> problems =
        script::checkScript(tools::readScript(path));
    for (const script::ScriptProblem& p : problems) {
        std::printf("%s\n", formatProblem(name, p).c_str());
    }
    if (std::fflush(stdout) != 0) {
        checkOutput();
    }
    checkOutput();
    return hasErrors(problems) ? 1 : 0;
}

int run(int argc, char** argv) {
    const Options o = parseOptions(argc, argv);
    if (o.checkPath) {
        return checkScriptFile(*o.checkPath);
    }
    if (o.listActuators) {
        sim_output::printActuatorList();
        if (std::fflush(stdout) != 0) {
            checkOutput();
        }
        checkOutput();
        return 0;
    }
    if (o.trace && !engine::traceSetting) {
        runTraceBuild(argv);
    }
    const std::optional<std::string> script =
        o.scriptPath ? std::optional<std::string>(tools::readScript(*o.scriptPath)) : std::nullopt;
    const uint32_t seed = o.seed ? *o.seed : static_cast<uint32_t>(std::time(nullptr));
    frame::Engine engine;
    engine.sequencer.log = script::ScriptLog{printLogLine, nullptr};
    if (script) {
        initEngineWithScript(engine, seed, script->c_str());
    } else {
        initEngineWithSeed(engine, seed);
    }

    checkOutput();
    for (unsigned long long k = 1; k <= o.frames; ++k) {
        advanceFrame(engine);
        if (!o.trace) {
            sim_output::printValues(engine.bank, k);
        }
        checkOutput();
    }
    if (std::fflush(stdout) != 0) {
        checkOutput();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::runTool("lumenweave-sim", [&] { return run(argc, argv); });
}
