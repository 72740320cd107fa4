// Where the benchmarks start measuring: an engine run without drawing far into the built-in
// animation, so that its sequences have started and the ring holds a full trail of wings.
#pragma once

#include "frame/frame.hpp"

inline void runWithoutDrawing(lumenweave::frame::Engine& engine, int frames) {
    lumenweave::frame::initEngineWithSeed(engine, 1);
    for (int f = 0; f < frames; ++f) {
        lumenweave::frame::advanceFrame(engine);
    }
}
