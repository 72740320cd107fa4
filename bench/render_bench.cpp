// The cost of one frame in Mesa (llvmpipe): the master's full frame, recorded and replayed, against
// the same frame drawn directly, and a clone's replay of the recorded frame, at a window's and a
// screen's size. Each frame ends in glFinish, so the rasterising is done inside the timing.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>

#include "direct_drawing.hpp"
#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "running.hpp"
#include "replay/gl1/replay.hpp"
#include "replay/gl1/render.hpp"
#include "offscreen.hpp"

using namespace lumenweave;

namespace {

// The benchmarks' one engine and, where they record, the list they record into.
frame::Engine engine;
drawlist::draw_list_t list;

// A running animation, so that the ring holds a full trail of 40 wings. Heap trimming is off, as
// in lumenweave-render: otherwise glibc returns and refaults the block Mesa frees every frame,
// and whichever case keeps something allocated above it looks several times faster.
void startRunning() {
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    runWithoutDrawing(engine, 10000);
}

// A new context compiles its shaders on its first draws, which take tens of milliseconds; a few
// frames before timing keep that out of the figures.
template <typename Frame>
void warmUp(Frame frame) {
    for (int f = 0; f < 5; ++f) {
        frame();
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

// A master frame as the hosts draw it: renderFrame records the frame and replays it.
void directFrame() {
    directDrawing = true;
    recordFrame(engine, list);
    directDrawing = false;
}
void recordedFrame() {
    replay::renderFrame(engine, &list);
}

// Where both kinds of master frame are timed: one context of the benchmark's size, a running
// animation and both kinds warmed up, then timing(). Skipped where direct drawing is not to be had.
template <typename Timing>
void inFrameContext(benchmark::State& state, Timing timing) {
    if (!directDrawingWorks()) {
        state.SkipWithError("the recorders are not wrapped: no direct drawing to compare with");
        return;
    }
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    offscreen::OffscreenContext gl(width, height);
    replay::setupView(width, height);
    startRunning();
    warmUp(directFrame);
    warmUp(recordedFrame);
    timing();
}

// The master's frame drawn directly (the baseline) or recorded and replayed.
void frameBench(benchmark::State& state, void (*frame)()) {
    inFrameContext(state, [&state, frame] {
        for (auto _ : state) {
            frame();
        }
    });
}
BENCHMARK_CAPTURE(frameBench, direct, directFrame)->Apply(sizes);
BENCHMARK_CAPTURE(frameBench, recordAndReplay, recordedFrame)->Apply(sizes);

// A clone's frame: the recorded frame (clear, figure, finish) replayed into a second context.
void replayBench(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    offscreen::OffscreenContext master(width, height);
    replay::setupView(width, height);
    startRunning();
    replay::renderFrame(engine, &list);
    offscreen::OffscreenContext clone(width, height);
    replay::setupView(width, height);
    warmUp([] { replay::replay_draw_list(list); });
    for (auto _ : state) {
        replay::replay_draw_list(list);
    }
    state.counters["commands"] = static_cast<double>(list.commands.size());
}
BENCHMARK(replayBench)->Apply(sizes);

// Two kinds of frame timed in turn in the same loop, so that the load of a shared machine, which
// drifts over seconds, weighs on both alike and their ratio holds even when the absolute figures
// do not. The iteration time is the first kind; counters give both means and first/second.
template <typename First, typename Second>
void timeInTurn(benchmark::State& state, First first, Second second) {
    using clock = std::chrono::steady_clock;
    double firstSeconds = 0.0;
    double secondSeconds = 0.0;
    for (auto _ : state) {
        const auto t0 = clock::now();
        first();
        const auto t1 = clock::now();
        second();
        const auto t2 = clock::now();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        firstSeconds += a;
        secondSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(a);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["first_ms"] = firstSeconds / n * 1e3;
    state.counters["second_ms"] = secondSeconds / n * 1e3;
    state.counters["second_per_first"] = secondSeconds / firstSeconds;
}

void inTurn(benchmark::internal::Benchmark* b) {
    b->ArgNames({"width", "height"});
    b->Args({640, 480});
    b->Args({1920, 1080});
    b->Unit(benchmark::kMillisecond);
    b->UseManualTime();
}

// First a frame drawn directly, then the next recorded and replayed, in one context.
void recordAndReplayCostBench(benchmark::State& state) {
    inFrameContext(state, [&state] { timeInTurn(state, directFrame, recordedFrame); });
}
BENCHMARK(recordAndReplayCostBench)->Apply(inTurn);

// Two windows as the host runs them: the master's recorded frame, then a clone's replay of it.
void masterAndCloneBench(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    offscreen::OffscreenContext master(width, height);
    replay::setupView(width, height);
    offscreen::OffscreenContext clone(width, height);
    replay::setupView(width, height);
    startRunning();
    const auto masterFrame = [&master] {
        master.makeCurrent();
        replay::renderFrame(engine, &list);
    };
    const auto cloneFrame = [&clone] {
        clone.makeCurrent();
        replay::replay_draw_list(list);
    };
    warmUp([&] {
        masterFrame();
        cloneFrame();
    });
    timeInTurn(state, masterFrame, cloneFrame);
}
BENCHMARK(masterAndCloneBench)->Apply(inTurn);

}  // namespace
