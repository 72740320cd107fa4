// The actuator bank: the 14 actuators the figure reads, their slots, and the operations that the
// script's actuator commands apply to them.
#include "engine/actuators.hpp"

#include <algorithm>
#include <array>
#include <iterator>

#include "engine/history.hpp"
#include "engine/indices.hpp"

namespace lumenweave::engine {

namespace {

static_assert(std::size(actuatorNames) == actuatorCount);

// The slots that hold an actuator, in index order; nothing else is ever filled.
constexpr std::array<int, actuatorCount> filledIndices = [] {
    std::array<int, actuatorCount> indices{};
    for (int i = 0; i < actuatorCount; ++i) {
        indices[i] = actuatorNames[i].index;
    }
    return indices;
}();

}  // namespace

void createBank(ActuatorBank& bank) {
    std::fill(std::begin(bank.slot), std::end(bank.slot), nullptr);
    for (int i = 0; i < actuatorCount; ++i) {
        Actuator& a = bank.actuators[i];
        a = Actuator{};
        if (filledIndices[i] == paceIndex) {
            a.value = 1.0f;
        } else if (filledIndices[i] == wingCountIndex) {
            a.value = static_cast<float>(defaultWingCount);
        }
        bank.slot[filledIndices[i]] = &a;
    }
}

Actuator* findActuator(ActuatorBank& bank, int index) {
    return index >= 0 && index < bankSize ? bank.slot[index] : nullptr;
}

void actLim1(ActuatorBank& bank, int index, float v) {
    if (Actuator* a = findActuator(bank, index)) {
        if (v <= a->lowLimit) {
            a->lowLimit = v;
        }
    }
}

void actLim2(ActuatorBank& bank, int index, float v, float seqDuration, float seqVariance) {
    Actuator* a = findActuator(bank, index);
    if (!a) {
        return;
    }
    // The range only ever widens: a value above the low limit raises the high one, anything
    // else lowers the low limit, pushing the old low limit up into the high one if needed.
    if (v > a->lowLimit) {
        a->highLimit = std::max(a->highLimit, v);
    } else {
        a->highLimit = std::max(a->highLimit, a->lowLimit);
        a->lowLimit = v;
    }
    a->duration = seqDuration;
    a->variance = seqVariance;
    a->active = 1;
}

void actSet(ActuatorBank& bank, int index, float v) {
    if (Actuator* a = findActuator(bank, index)) {
        a->value = v;
    }
}

void actReset(ActuatorBank& bank, int index) {
    if (Actuator* a = findActuator(bank, index)) {
        a->value = a->resetValue;
    }
}

void actStop(ActuatorBank& bank, int index) {
    if (Actuator* a = findActuator(bank, index)) {
        a->active = 0;
    }
}

void actStopAll(ActuatorBank& bank) {
    for (Actuator& a : bank.actuators) {
        a.active = 0;
    }
}

}  // namespace lumenweave::engine
