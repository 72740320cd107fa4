// Per-frame actuator motion: active actuators travel in straight segments toward random targets.
#pragma once

#include "engine/actuators.hpp"
#include "engine/random.hpp"

namespace lumenweave::engine {

// Starts a motion for every active actuator that is not moving, in index order, drawing its
// target and length from the generator.
void startMotions(ActuatorBank& bank, rand48& random);
// Advances every active, moving actuator by one step, in index order.
void stepMotions(ActuatorBank& bank);

}  // namespace lumenweave::engine
