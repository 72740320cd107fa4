// lumenweave-sim's texts and lines, for the native tool and the WebAssembly engine alike.
#include "sim_output/sim_output.hpp"

#include <cstdio>

#include "engine/indices.hpp"

namespace lumenweave::sim_output {

std::string usage() {
    std::string indices;
    for (const engine::ActuatorName& a : engine::actuatorNames) {
        indices += " " + std::to_string(a.index);
    }
    return "usage: lumenweave-sim [--seed T] [--frames N] [--script FILE] [--trace]\n"
           "       lumenweave-sim --check FILE\n"
           "       lumenweave-sim --list-actuators\n"
           "Runs the animation engine without drawing. After frame k (from 1) it prints k and the\n"
           "values of actuators" +
           indices +
           " (\"%.9g\").\n"
           "  --seed T       seed the generator with T as srand48(T) would (default: the clock)\n"
           "  --frames N     run N frames (default 0)\n"
           "  --script FILE  run the script in FILE instead of the built-in one; - reads standard "
           "input\n"
           "  --trace        print the parser's and the sequencer's trace lines instead of the "
           "values\n"
           "  --check FILE   run nothing: print each problem of the script in FILE (- reads "
           "standard\n"
           "                 input) as FILE:LINE: message, each warning as FILE:LINE: warning: "
           "message;\n"
           "                 exit 0: no problem, 1: some, 2: unreadable\n"
           "  --list-actuators\n"
           "                 run nothing: print each actuator's number and name, one a line\n"
           "  --help         show this text\n";
}

void printValues(engine::ActuatorBank& bank, unsigned long long k) {
    std::printf("%llu", k);
    for (const engine::ActuatorName& a : engine::actuatorNames) {
        std::printf(" %.9g", static_cast<double>(findActuator(bank, a.index)->value));
    }
    std::putchar('\n');
}

void printActuatorList() {
    for (const engine::ActuatorName& a : engine::actuatorNames) {
        std::printf("%d %s\n", a.index, a.name);
    }
}

}  // namespace lumenweave::sim_output
