// The engine's entry points: one-time start-up and one frame of animation and drawing.
#pragma once

#include <cstdint>

// Builds the bank, sets the ring's flags, parses the script and seeds from the clock.
void initEngine();
// initEngine with the generator seeded from t instead of the clock; for tests and tools. Each
// start gives a fresh engine, whatever ran before in the process.
void initEngineWithSeed(uint32_t t);
// initEngineWithSeed running the given script text instead of the configured line source.
void initEngineWithScript(uint32_t t, const char* script);
// Clears, advances the animation one frame, draws the figure into the current GL context and
// finishes; with windowCount above 1 every call is also recorded into the draw list.
void renderFrame(unsigned windowCount);
// renderFrame without any GL call: the ring advance, the animation step, the sampling and the
// slot-fraction update. For tools that run the engine without a context.
void advanceFrame();
