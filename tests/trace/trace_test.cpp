// The parser's and the sequencer's trace lines, with the trace setting on: all of them on the log
// the host gives, none on standard output.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "frame/frame.hpp"
#include "script/sequencer.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Trace, BuiltInScriptMatchesTheStoredTrace) {
    frame::Engine engine;
    std::string trace;
    engine.sequencer.log = collectInto(trace);
    testing::internal::CaptureStdout();
    initEngineWithSeed(engine, 0);
    for (int f = 0; f < 4000; ++f) {
        advanceFrame(engine);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string expected = readFile(LUMENWEAVE_SOURCE_DIR "/tests/data/builtin_trace.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(trace, expected);
}

TEST(Trace, UnusualLinesAreEchoedWithTheTextAfterTheirKeyword) {
    frame::Engine engine;
    std::string trace;
    engine.sequencer.log = collectInto(trace);
    initEngineWithScript(engine, 0,
                         "#\n"
                         "  seqrepeat: 3 # again\n"
                         "actset 80, 0.23\n"
                         "\n"
                         "relframe: 2.5\n"
                         "seqkillall:\n"
                         "actlim2: 101 , 7\n"
                         "seqname: 0");
    sequencerPass(engine.sequencer, engine.bank, engine.randomState);
    EXPECT_EQ(trace,
              "# reading animation...\n"
              "#\n"
              "seqrepeat: 3warning: seqrepeat: not implemented\n"
              " 3 # again\n"
              "bad command: actset 80, 0.23\n"
              "relframe: 2.500000 2.5\n"
              "seqkillall:\n"
              "actlim2: 101, 0.000000 101 , 7\n"
              "seqname: 0 0\n"
              "# done reading animation\n"
              "seq 0 at 0.00\n"
              "  cmd 0,\t0\t2.500000\n"
              "  cmd 15,\t0\t0.000000\n"
              "  cmd 3,\t101\t0.000000\n"
              "proc: currentFrame 1.00, seq 0,\tseqFrame 0.000000, cmdtype 0, cmdFrame 0.000000\n");
}

}  // namespace
