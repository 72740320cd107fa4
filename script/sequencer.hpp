// The sequencer: once per frame, advances the animation clock and runs every command due,
// changing the actuators of the bank and drawing random delays from the generator it is given.
#pragma once

#include "engine/actuators.hpp"
#include "engine/random.hpp"
#include "script/parser.hpp"

namespace lumenweave::script {

void sequencerPass(Sequencer& sequencer, engine::ActuatorBank& bank, engine::rand48& random);
void executeCommand(Sequencer& sequencer, engine::ActuatorBank& bank, engine::rand48& random,
                    Command* command);
void killSequence(Sequencer& sequencer, Sequence* sequence);

}  // namespace lumenweave::script
