// The cost of loading a script as it grows: checking and parsing a script of N sequences should
// take about N times as long, not N squared.
#include <benchmark/benchmark.h>

#include <string>

#include "script/check.hpp"
#include "script/parser.hpp"

using namespace lumenweave;

namespace {

// N sequences, each a few timed commands that start the next one: the shape of a long script
// that a program wrote.
std::string scriptOf(int64_t sequences) {
    std::string text;
    for (int64_t n = 0; n < sequences; ++n) {
        const std::string number = std::to_string(n);
        text += "seqname: " + number +
                "\nactset: 31, 0.5\nrelframe: 60\nseqdo: " + std::to_string(n + 1) +
                "\nactlim2: 94, 1.5\nseqloop:\n";
    }
    return text;
}

void parseScriptBench(benchmark::State& state) {
    const std::string text = scriptOf(state.range(0));
    script::Sequencer sequencer;
    for (auto _ : state) {
        parseScript(sequencer, text.c_str());
        state.PauseTiming();
        clearSequences(sequencer);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(parseScriptBench)
    ->Arg(600)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void checkScriptBench(benchmark::State& state) {
    const std::string text = scriptOf(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(script::checkScript(text));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(checkScriptBench)
    ->Arg(600)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
