// Recording one full frame. The real frame runs against a GL stand-in that draws nothing, so the
// figures are the renderer's own work plus, depending on the case, nothing (drawn directly), the
// draw list's recorders and replay, or the baseline's per-command arrays fed the very same calls.
// What recording costs is each case's time minus the first.
#include <benchmark/benchmark.h>

#include "direct_drawing.hpp"
#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "running.hpp"
#include "gl_standin.hpp"
#include "per_command.hpp"

using namespace lumenweave;

namespace {

// The benchmarks' one engine and, where they record, the list they record into.
frame::Engine engine;
drawlist::draw_list_t list;

// Far enough into the built-in animation that the figure has its 40 wings, about four thousand
// calls a frame.
void startRunning() {
    runWithoutDrawing(engine, 10000);
}

// The frame drawn directly, recording nothing: the baseline.
void directBench(benchmark::State& state) {
    if (!directDrawingWorks()) {
        state.SkipWithError("the recorders are not wrapped: no direct drawing to compare with");
        return;
    }
    startRunning();
    directDrawing = true;
    for (auto _ : state) {
        recordFrame(engine, list);
    }
    directDrawing = false;
}
BENCHMARK(directBench)->Name("recordFullFrame/none")->Unit(benchmark::kMicrosecond);

// The frame as the hosts draw it: renderFrame records every command and replays the list.
void drawListBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        replay::renderFrame(engine, &list);
    }
    state.counters["commands"] = static_cast<double>(list.commands.size());
    state.counters["words"] = static_cast<double>(list.words.size());
}
BENCHMARK(drawListBench)->Name("recordFullFrame/drawList")->Unit(benchmark::kMicrosecond);

// The frame drawn directly, its calls recorded into one heap-allocated argument array each.
void perCommandBench(benchmark::State& state) {
    startRunning();
    directDrawing = true;
    feedBaseline = true;
    for (auto _ : state) {
        bench::clear();
        recordFrame(engine, list);
    }
    feedBaseline = false;
    directDrawing = false;
    state.counters["commands"] = static_cast<double>(bench::list.size());
}
BENCHMARK(perCommandBench)->Name("recordFullFrame/perCommandArrays")->Unit(benchmark::kMicrosecond);

}  // namespace
