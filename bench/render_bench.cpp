// The cost of one frame in Mesa (llvmpipe): the master's full frame, with and without recording
// for clones, and a clone's replay of the recorded frame, at a window's and a screen's size. Each
// frame ends in glFinish, so the rasterising is done inside the timing.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "drawlist/drawlist.hpp"
#include "engine/frame.hpp"
#include "figure/view.hpp"
#include "offscreen.hpp"

namespace {

// A running animation, so that the ring holds a full trail of 40 wings. Heap trimming is off, as
// in lumenweave-render: otherwise glibc returns and refaults the block Mesa frees every frame,
// and whichever case keeps something allocated above it looks several times faster.
void startRunning() {
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    initEngineWithSeed(1);
    for (int f = 0; f < 10000; ++f) {
        advanceFrame();
    }
}

// Wall time, since llvmpipe rasterises on threads of its own, and the CPU time of all of them.
void sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"width", "height"});
    b->Args({640, 480});
    b->Args({1920, 1080});
    b->Unit(benchmark::kMillisecond);
    b->UseRealTime();
    b->MeasureProcessCPUTime();
}

// The master's frame: renderFrame with one window (nothing recorded) or two (every call also
// recorded, after clearing the list as the render thread does).
void renderFrameBench(benchmark::State& state, unsigned windows) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    OffscreenContext gl(width, height);
    setupView(width, height);
    startRunning();
    for (auto _ : state) {
        if (windows > 1) {
            clear_draw_list();
        }
        renderFrame(windows);
    }
}
BENCHMARK_CAPTURE(renderFrameBench, oneWindow, 1u)->Apply(sizes);
BENCHMARK_CAPTURE(renderFrameBench, recording, 2u)->Apply(sizes);

// A clone's frame: the recorded frame (clear, figure, finish) replayed into a second context.
void replayBench(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    OffscreenContext master(width, height);
    setupView(width, height);
    startRunning();
    clear_draw_list();
    renderFrame(2);
    OffscreenContext clone(width, height);
    setupView(width, height);
    for (auto _ : state) {
        replay_draw_list();
    }
    state.counters["commands"] = static_cast<double>(draw_list.commands.size());
}
BENCHMARK(replayBench)->Apply(sizes);

}  // namespace
