// What lumenweave-sim prints: its usage and one line of actuator values after a frame. Shared
// by the native program (tools/sim) and the WebAssembly engine (web/engine) that the Node command
// line runs, so that both print the same bytes.
#pragma once

#include <string>

#include "engine/actuators.hpp"

namespace lumenweave::sim_output {

// The usage text; the actuators come from the engine's list.
std::string usage();

// "k v1 v2 ...": the frame number and the actuators' values, on standard output.
void printValues(engine::ActuatorBank& bank, unsigned long long k);

// Each actuator's number and name, one a line, on standard output.
void printActuatorList();

}  // namespace lumenweave::sim_output
