// The cost of one frame's animation (the whole step without drawing, and its parts) and of the
// engine's start-up.
#include <benchmark/benchmark.h>

#include "frame/frame.hpp"
#include "running.hpp"
#include "engine/motion.hpp"
#include "script/sequencer.hpp"

using namespace lumenweave;

namespace {

// The benchmarks' one engine.
frame::Engine engine;

// Far into a run, so that every sequence has started, sequences 4 and 5 have looped many times
// and the actuators are moving: the steady state that a screensaver spends its hours in. The
// benchmark loop then carries the same run on for millions of frames.
void startRunning() {
    runWithoutDrawing(engine, 100000);
}

// One frame's animation as renderFrame does it, without the GL calls: ring advance,
// sequencerPass, startMotions, stepMotions and sampling into the ring.
void advanceFrameBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        advanceFrame(engine);
    }
}
BENCHMARK(advanceFrameBench);

// One frame advanced and recorded into a draw list, no replay: what the browser playground's
// WebAssembly build does per frame (web/tools/measure.mjs times the same there).
void recordFrameBench(benchmark::State& state) {
    startRunning();
    drawlist::draw_list_t list;
    for (auto _ : state) {
        recordFrame(engine, list);
    }
    state.counters["commands"] = static_cast<double>(list.commands.size());
}
BENCHMARK(recordFrameBench)->Unit(benchmark::kMicrosecond);

void sequencerPassBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        sequencerPass(engine.sequencer, engine.bank, engine.randomState);
    }
}
BENCHMARK(sequencerPassBench);

void motionPassesBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        startMotions(engine.bank, engine.randomState);
        stepMotions(engine.bank);
    }
}
BENCHMARK(motionPassesBench);

// Start-up as the host makes it: bank, ring flags, parsing the built-in script, seeding.
void initEngineBench(benchmark::State& state) {
    for (auto _ : state) {
        initEngineWithSeed(engine, 1);
    }
}
BENCHMARK(initEngineBench)->Unit(benchmark::kMicrosecond);

}  // namespace
