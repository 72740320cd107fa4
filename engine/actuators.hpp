// The actuator bank: 1024 numbered slots, 14 of them holding the scalar parameters that scripts
// drive, and the operations that the script's actuator commands map onto.
#pragma once

#include <cstdint>

namespace lumenweave::engine {

// Values, limits, target and reset value are in the unit of what the actuator moves.
struct Actuator {
    uint8_t active = 0;      // moves on its own between its limits
    uint8_t moving = 0;      // a motion toward target is under way
    float direction = 1.0f;  // +1 or -1: the sign of step
    float target = 0.0f;
    float highLimit = 0.0f;
    float lowLimit = 0.0f;
    float step = 0.0f;  // per frame
    float value = 0.0f;
    float duration = 0.0f;  // frames: the mean length of a motion
    float variance = 0.6f;  // 0..1: how far a motion's length strays from the duration
    float resetValue = 0.0f;
};

constexpr int bankSize = 1024;
constexpr int actuatorCount = 14;

// The bank's storage. The actuators sit in index order, so passes that visit every filled slot
// in index order walk `actuators` instead of testing 1024 slots. The slots point into the bank
// itself, so a bank is never copied.
struct ActuatorBank {
    Actuator actuators[actuatorCount];
    Actuator* slot[bankSize] = {};  // nullptr: empty slot

    ActuatorBank() = default;
    ActuatorBank(const ActuatorBank&) = delete;
    ActuatorBank& operator=(const ActuatorBank&) = delete;
};

// Empties every slot and creates the 14 actuators with their initial fields.
void createBank(ActuatorBank& bank);
// The actuator in slot `index`, or nullptr for an empty slot or an index outside 0..1023.
Actuator* findActuator(ActuatorBank& bank, int index);

// Each operation does nothing on an empty slot or an index outside the bank.
void actLim1(ActuatorBank& bank, int index, float v);
void actLim2(ActuatorBank& bank, int index, float v, float seqDuration, float seqVariance);
void actSet(ActuatorBank& bank, int index, float v);
void actReset(ActuatorBank& bank, int index);
void actStop(ActuatorBank& bank, int index);
void actStopAll(ActuatorBank& bank);

}  // namespace lumenweave::engine
