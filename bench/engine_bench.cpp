// The cost of one frame's animation: the whole step without drawing, and its parts.
#include <benchmark/benchmark.h>

#include "engine/frame.hpp"
#include "engine/motion.hpp"
#include "script/sequencer.hpp"

namespace {

// Past the first frames, so that every sequence has started and the actuators are moving.
void startRunning() {
    initEngineWithSeed(1);
    for (int f = 0; f < 1000; ++f) {
        advanceFrame();
    }
}

void advanceFrameBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        advanceFrame();
    }
}
BENCHMARK(advanceFrameBench);

void sequencerPassBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        sequencerPass();
    }
}
BENCHMARK(sequencerPassBench);

void motionPassesBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        startMotions();
        stepMotions();
    }
}
BENCHMARK(motionPassesBench);

void startEngineBench(benchmark::State& state) {
    for (auto _ : state) {
        initEngineWithSeed(1);
    }
}
BENCHMARK(startEngineBench);

}  // namespace
