// Recording one full frame for clone windows. The real renderFrame runs against a GL stand-in
// that draws nothing, so the figures are the renderer's own work plus, depending on the case,
// nothing, the draw list's recorders, or the baseline's per-command arrays fed the very same
// calls. What recording costs is each case's time minus the first.
#include <benchmark/benchmark.h>

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "frame/render.hpp"
#include "running.hpp"
#include "gl_standin.hpp"
#include "per_command.hpp"

namespace {

// The benchmarks' one engine and, where they record, the list they record into.
Engine engine;
draw_list_t list;

// Far enough into the built-in animation that the figure has its 40 wings, about four thousand
// calls a frame.
void startRunning() {
    runWithoutDrawing(engine, 10000);
}

// The frame as the master makes it with one window: nothing is recorded.
void notRecordingBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        renderFrame(engine, nullptr);
    }
}
BENCHMARK(notRecordingBench)->Name("recordFullFrame/none")->Unit(benchmark::kMicrosecond);

// With clones: the render thread clears the list, and renderFrame records every call.
void drawListBench(benchmark::State& state) {
    startRunning();
    for (auto _ : state) {
        clear_draw_list(list);
        renderFrame(engine, &list);
    }
    state.counters["commands"] = static_cast<double>(list.commands.size());
    state.counters["words"] = static_cast<double>(list.words.size());
}
BENCHMARK(drawListBench)->Name("recordFullFrame/drawList")->Unit(benchmark::kMicrosecond);

// The same calls recorded into one heap-allocated argument array per command.
void perCommandBench(benchmark::State& state) {
    startRunning();
    feedBaseline = true;
    for (auto _ : state) {
        perCommand::clear();
        renderFrame(engine, nullptr);
    }
    feedBaseline = false;
    state.counters["commands"] = static_cast<double>(perCommand::list.size());
}
BENCHMARK(perCommandBench)->Name("recordFullFrame/perCommandArrays")->Unit(benchmark::kMicrosecond);

}  // namespace
