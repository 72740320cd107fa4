// The sequencer: once per frame, advances the animation clock and runs every command due.
#pragma once

#include "script/script.hpp"

// The animation clock, in frames.
extern float currentFrame;

void sequencerPass();
void executeCommand(Command* command);
void killSequence(Sequence* sequence);
