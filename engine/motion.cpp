// Actuator motion: each active actuator travels in straight segments toward random targets
// between its limits, one step per frame.
#include "engine/motion.hpp"

#include "engine/actuators.hpp"
#include "engine/random.hpp"

namespace lumenweave::engine {

// Only filled slots hold actuators, and bank.actuators lists them in index order, so walking it
// visits the slots, and makes the random draws, in the same order as a scan of all 1024 slots.
void startMotions(ActuatorBank& bank, rand48& random) {
    for (Actuator& a : bank.actuators) {
        if (!a.active || a.moving) {
            continue;
        }
        a.moving = 1;
        const float r = static_cast<float>(uniformRandom(random));
        a.target = (1.0f - r) * a.lowLimit + r * a.highLimit;
        const float q = skewedRandom(random, 1.0f);
        float length = (1.0f - a.variance) * a.duration + ((2.0f * q) * a.duration) * a.variance;
        if (length < 1.0f) {
            length = 1.0f;
        }
        a.step = (a.target - a.value) / length;
        a.direction = a.step > 0.0f ? 1.0f : -1.0f;
    }
}

void stepMotions(ActuatorBank& bank) {
    for (Actuator& a : bank.actuators) {
        if (!a.active || !a.moving) {
            continue;
        }
        float v = a.value + a.step;
        // Past the target: land on it and end the motion.
        if ((a.target - v) * a.direction < 0.0f) {
            v = a.target;
            a.moving = 0;
        }
        a.value = v;
    }
}

}  // namespace lumenweave::engine
