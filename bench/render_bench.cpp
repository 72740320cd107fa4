// The cost of drawing one frame of the figure in Mesa: with and without recording for clones,
// the recording alone, and a clone's replay of the recorded frame.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "drawlist/drawlist.hpp"
#include "drawlist/opengl.hpp"
#include "engine/frame.hpp"
#include "figure/figure.hpp"
#include "figure/view.hpp"
#include "offscreen.hpp"

namespace {

constexpr int width = 320;
constexpr int height = 240;

// A running animation, so that the ring holds a full trail of 40 wings. Heap trimming is off, as
// in lumenweave-render: otherwise glibc returns and refaults the block Mesa frees every frame,
// and whichever case keeps something allocated above it looks several times faster.
void startRunning() {
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    initEngineWithSeed(1);
    for (int f = 0; f < 300; ++f) {
        advanceFrame();
    }
}

// drawFigure between a clear and a finish; Arg: the window count.
void drawFigureBench(benchmark::State& state) {
    OffscreenContext gl(width, height);
    setupView(width, height);
    startRunning();
    const unsigned windows = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        if (windows > 1)
            clear_draw_list();
        glClear(GL_COLOR_BUFFER_BIT);
        drawFigure(windows);
        glFinish();
    }
}
BENCHMARK(drawFigureBench)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The recorders' own cost: one frame's commands appended to a list whose storage is kept.
void recordFrameBench(benchmark::State& state) {
    OffscreenContext gl(width, height);
    setupView(width, height);
    startRunning();
    clear_draw_list();
    drawFigure(2);
    const draw_list_t frame = draw_list;
    for (auto _ : state) {
        clear_draw_list();
        for (const draw_command& c : frame.commands) {
            const uint32_t* w = frame.words.data() + c.firstWord;
            // Every command of a figure frame has the words of its code; only the count matters.
            switch (c.wordCount) {
                case 0:
                    record_push_matrix();
                    break;
                case 1:
                    record_begin(w[0]);
                    break;
                case 2:
                    record_vertex(0.0f, 0.0f);
                    break;
                case 3:
                    record_translate(0.0f, 0.0f, 0.0f);
                    break;
                default:
                    record_rotate(0.0f, 0.0f, 0.0f, 1.0f);
                    break;
            }
        }
        benchmark::DoNotOptimize(draw_list.commands.data());
    }
    state.counters["commands"] = static_cast<double>(frame.commands.size());
    state.counters["words"] = static_cast<double>(frame.words.size());
}
BENCHMARK(recordFrameBench)->Unit(benchmark::kMicrosecond);

// A clone's frame: the recorded list replayed into a second context.
void replayBench(benchmark::State& state) {
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
}
BENCHMARK(replayBench)->Unit(benchmark::kMicrosecond);

}  // namespace
