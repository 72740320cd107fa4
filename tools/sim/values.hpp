// What lumenweave-sim prints: its usage and one line of actuator values after a frame. Shared
// by the native program and the WebAssembly build that the Node command line runs, so that both
// print the same bytes.
#pragma once

#include <cstdio>

#include "engine/actuators.hpp"

namespace sim {

constexpr const char* usage =
    "usage: lumenweave-sim [--seed T] [--frames N] [--script FILE] [--trace]\n"
    "       lumenweave-sim --check FILE\n"
    "Runs the animation engine without drawing. After frame k (from 1) it prints k and the\n"
    "values of actuators 18 31 38 45 52 73 80 87 94 101 108 123 127 130 (\"%.9g\").\n"
    "  --seed T       seed the generator with T as srand48(T) would (default: the clock)\n"
    "  --frames N     run N frames (default 0)\n"
    "  --script FILE  run the script in FILE instead of the built-in one; - reads standard input\n"
    "  --trace        print the parser's and the sequencer's trace lines instead of the values\n"
    "  --check FILE   run nothing: print each problem of the script in FILE (- reads standard\n"
    "                 input) as FILE:LINE: message; exit 0: none, 1: some, 2: unreadable\n"
    "  --help         show this text\n";

constexpr int shownIndices[] = {18, 31, 38, 45, 52, 73, 80, 87, 94, 101, 108, 123, 127, 130};

// "k v1 v2 ...": the frame number and the shown actuators' values, on standard output.
inline void printValues(ActuatorBank& bank, unsigned long long k) {
    std::printf("%llu", k);
    for (int index : shownIndices) {
        std::printf(" %.9g", static_cast<double>(findActuator(bank, index)->value));
    }
    std::putchar('\n');
}

}  // namespace sim
