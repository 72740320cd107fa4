// The sequencer: due times, the sequence-control commands, the timing commands, the guard against
// sequences that never let time pass, and the long-running clock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/actuators.hpp"
#include "engine/random.hpp"
#include "frame/frame.hpp"
#include "script/sequencer.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

// A fresh engine for each test, started on the test's own script.
class Sequencing : public ::testing::Test {
  protected:
    frame::Engine engine;

    void start(const std::string& script, uint32_t seed = 1) {
        initEngineWithScript(engine, seed, script.c_str());
    }
    void passes(int n) {
        for (int i = 0; i < n; ++i) {
            sequencerPass(engine.sequencer, engine.bank, engine.randomState);
        }
    }
    int sequenceCount() const {
        int n = 0;
        for (script::Sequence* s = engine.sequencer.sequenceList; s; s = s->next) {
            ++n;
        }
        return n;
    }
    int drawsDuring(int n);
};

TEST_F(Sequencing, ACommandIsDueHalfAFrameEarly) {
    start("seqdo: 1\nseqname: 1\nrelframe: 10\nactset: 31, 5");
    passes(1);
    EXPECT_EQ(sequence(engine.sequencer, 1)->seqFrame, 1.0f);
    passes(9);  // currentFrame 10: 10.5 is not beyond 1 + 10
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
    passes(1);
    EXPECT_EQ(engine.sequencer.currentFrame, 11.0f);
    EXPECT_EQ(act(engine.bank, 31).value, 5.0f);
    EXPECT_EQ(sequence(engine.sequencer, 1)->current, nullptr);
}

TEST_F(Sequencing, AnOlderSequenceStartsANewerOneInTheNextPassAndViceVersa) {
    // List order 2, 1, 0: sequence 0 starts 1, which comes earlier in the list and so waits for
    // the next pass.
    start("seqdo: 1\nseqname: 2\nactset: 38, 2\nseqname: 1\nactset: 31, 1\nseqdo: 0");
    passes(1);
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
    // Sequence 1 runs in pass 2 and restarts 0, which comes later in the list: 0 runs at once
    // and starts 1 again, which waits for pass 3.
    passes(1);
    EXPECT_EQ(act(engine.bank, 31).value, 1.0f);
    EXPECT_EQ(sequence(engine.sequencer, 0)->seqFrame, 2.0f);
    EXPECT_EQ(sequence(engine.sequencer, 1)->seqFrame, 2.0f);
    EXPECT_EQ(sequence(engine.sequencer, 0)->current, nullptr);
    EXPECT_EQ(act(engine.bank, 38).value, 0.0f);
}

TEST_F(Sequencing, SeqdoOfItselfRestartsAtOnce) {
    start("seqdo: 1\nseqname: 1\nactset: 31, 7\nrelframe: 5\nactset: 31, 3\nseqdo: 1");
    passes(2);
    EXPECT_EQ(act(engine.bank, 31).value, 7.0f);
    passes(4);  // currentFrame 6: 6.5 > 1 + 5, so 3 is set and 7 again at once
    EXPECT_EQ(act(engine.bank, 31).value, 7.0f);
    EXPECT_EQ(sequence(engine.sequencer, 1)->seqFrame, 6.0f);
    EXPECT_EQ(sequence(engine.sequencer, 1)->current->value, 3.0f);
}

TEST_F(Sequencing, SeqstopOfItselfEndsItAndSeqdoRestartsIt) {
    start("actset: 31, 1\nseqstop: 0\nactset: 31, 2");
    passes(3);
    EXPECT_EQ(act(engine.bank, 31).value, 1.0f);
    EXPECT_EQ(sequence(engine.sequencer, 0)->current, nullptr);

    start("seqdo: 1\nseqdo: 2\nseqname: 1\nactset: 31, 1\nseqname: 2\nseqstop: 1\nactset: 38, 1");
    passes(2);  // 2 stops 1 before 1's turn
    EXPECT_EQ(act(engine.bank, 38).value, 1.0f);
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
}

TEST_F(Sequencing, SeqkillRemovesOthersAndItself) {
    start("seqkill: 2\nseqkill: 9\nactset: 31, 1\nseqname: 2\nactset: 38, 1");
    passes(1);
    EXPECT_EQ(sequence(engine.sequencer, 2), nullptr);
    EXPECT_EQ(sequenceCount(), 1);
    EXPECT_EQ(act(engine.bank, 31).value, 1.0f);

    // 1 kills itself; the pass goes on with 2, which followed it.
    start("seqdo: 1\nseqdo: 2\nseqname: 2\nactset: 38, 4\nseqname: 1\nseqkill: 1\nactset: 31, 9");
    passes(2);
    EXPECT_EQ(sequence(engine.sequencer, 1), nullptr);
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
    EXPECT_EQ(act(engine.bank, 38).value, 4.0f);
    EXPECT_EQ(sequenceCount(), 2);

    // Killing the front and the back of the list.
    start("seqkill: 3\nseqdo: 1\nseqname: 1\nseqkill: 0\nseqname: 3\n");
    passes(2);
    EXPECT_EQ(sequenceCount(), 1);
    EXPECT_EQ(engine.sequencer.sequenceList, sequence(engine.sequencer, 1));
}

TEST_F(Sequencing, SeqkillallLeavesOnlyTheCaller) {
    start(
        "seqdo: 1\nseqdo: 2\nseqname: 1\nactset: 31, 1\nseqname: 2\nseqkillall:\n"
        "actset: 38, 2\nseqdo: 1\nseqname: 3\nseqname: 4\n");
    passes(2);
    EXPECT_EQ(sequenceCount(), 1);
    EXPECT_EQ(engine.sequencer.sequenceList, sequence(engine.sequencer, 2));
    EXPECT_EQ(engine.sequencer.sequenceList->next, nullptr);
    EXPECT_EQ(act(engine.bank, 38).value, 2.0f);
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
    passes(1);
}

TEST_F(Sequencing, DurationAndVarianceAreClampedAndHandedToActlim2) {
    start(
        "duration: 0.5\nvariance: -0.2\nactlim2: 31, 1\n"
        "duration: 2\nvariance: 1.7\nactlim2: 38, 1\n"
        "duration: nan\nvariance: nan\nactlim2: 94, 1\n"
        "duration: 70\nvariance: 0.3\nactlim2: 101, 1\n");
    passes(1);
    EXPECT_EQ(act(engine.bank, 31).duration, 1.0f);
    EXPECT_EQ(act(engine.bank, 31).variance, 0.0f);
    EXPECT_EQ(act(engine.bank, 38).duration, 2.0f);
    EXPECT_EQ(act(engine.bank, 38).variance, 1.0f);
    EXPECT_EQ(act(engine.bank, 94).duration, 1.0f);
    EXPECT_EQ(act(engine.bank, 94).variance, 0.0f);
    EXPECT_EQ(act(engine.bank, 101).duration, 70.0f);
    EXPECT_EQ(act(engine.bank, 101).variance, 0.3f);
    EXPECT_EQ(sequence(engine.sequencer, 0)->duration, 70.0f);
}

TEST_F(Sequencing, RanddelayWaitsByTheSkewedDrawScaledByVariance) {
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        start("variance: 0.25\nranddelay: 1000\nactset: 31, 1", seed);
        seedRandomWith(engine.randomState, seed);
        const float r = skewedRandom(engine.randomState, 1.0f);
        seedRandomWith(engine.randomState, seed);
        passes(1);
        const float expected =
            static_cast<float>(0.0 + 2.0 * r * 1000.0f * 0.25f + (1.0f - 0.25f) * 1000.0f);
        EXPECT_EQ(sequence(engine.sequencer, 0)->seqFrame, expected);
        EXPECT_GE(expected, 750.0f);
        EXPECT_LT(expected, 1250.0f);
        const int waited = static_cast<int>(expected);
        passes(waited - 2);
        EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
        passes(2);
        EXPECT_EQ(act(engine.bank, 31).value, 1.0f);
    }
}

TEST_F(Sequencing, IgnoredCommandsAndMissingTargetsOnlyMoveOn) {
    start(
        "actset: 45, 3\nactresetall:\nactset: -1, 5\nactset: 1024, 5\nactlim2: 5000, 1\n"
        "actreset: 29\nactstop: 2000\nseqdo: 7\nseqstop: 7\nseqkill: 7\nframe: 1\n"
        "absframe: 0\nactset: 52, 9");
    passes(1);
    EXPECT_EQ(act(engine.bank, 45).value, 3.0f);
    EXPECT_EQ(act(engine.bank, 52).value, 9.0f);
    EXPECT_EQ(sequence(engine.sequencer, 0)->current, nullptr);
    for (const engine::Actuator& a : engine.bank.actuators) {
        EXPECT_EQ(a.active, 0);
    }
}

TEST_F(Sequencing, AnUnknownCommandTypeWarnsAndMovesOn) {
    start("actset: 31, 1\nactset: 38, 2");
    sequence(engine.sequencer, 0)->first->type = 50;
    std::string log;
    engine.sequencer.log = collectInto(log);
    testing::internal::CaptureStdout();
    passes(1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(log, "warning: bad command type (50) in sequence cmd->seq\n");
    EXPECT_EQ(act(engine.bank, 31).value, 0.0f);
    EXPECT_EQ(act(engine.bank, 38).value, 2.0f);
}

TEST_F(Sequencing, ASequenceThatNeverLetsTimePassCannotHangAPass) {
    start("seqdo: 1\nseqdo: 2\nseqname: 2\nactset: 38, 1\nseqloop:\nseqname: 1\nseqdo: 1");
    passes(3);
    EXPECT_NE(sequence(engine.sequencer, 1)->current, nullptr);
    EXPECT_NE(sequence(engine.sequencer, 2)->current, nullptr);
    EXPECT_EQ(act(engine.bank, 38).value, 1.0f);

    // The other sequences still get their turn after a capped one.
    start(
        "seqdo: 1\nseqdo: 2\nseqname: 2\nrelframe: 1\nactset: 38, 2\nseqname: 1\n"
        "actset: 31, 1\nseqloop:");
    passes(2);
    EXPECT_EQ(act(engine.bank, 38).value, 2.0f);
}

// Each "randdelay:" draws one random number (no actuator moves in these scripts), so the
// generator counts how often the loop went round.
int Sequencing::drawsDuring(int n) {
    const engine::rand48 before = engine.randomState;
    passes(n);
    const engine::rand48 after = engine.randomState;
    engine.randomState = before;
    int draws = 0;
    while (std::memcmp(&engine.randomState, &after, sizeof after) != 0 && draws < 100000) {
        uniformRandom(engine.randomState);
        ++draws;
    }
    return draws;
}

// The first return runs the loop again in the same pass; the second, with no time passed in
// between, ends the turn.
TEST_F(Sequencing, ALoopThatLetsNoTimePassGoesRoundTwicePerPass) {
    for (const char* delay : {"0", "-5"}) {
        start(std::string("seqdo: 1\nseqname: 1\nranddelay: ") + delay + "\nseqloop:");
        passes(1);
        EXPECT_EQ(drawsDuring(3), 6) << delay;
        EXPECT_NE(sequence(engine.sequencer, 1)->current, nullptr) << delay;
    }
    // A time origin that is not a number never falls due again.
    start("seqdo: 1\nseqname: 1\nranddelay: nan\nseqloop:");
    passes(1);
    EXPECT_EQ(drawsDuring(3), 1);
    // A delay that does move the time origin still lets the loop go round again in the pass,
    // until the origin passes the clock: from 1.0 by 0.125 up to 2.5.
    start("seqdo: 1\nseqname: 1\nvariance: 0\nranddelay: 0.125\nseqloop:");
    passes(1);
    EXPECT_EQ(drawsDuring(1), 12);
}

TEST_F(Sequencing, ASeqdoOfItselfRestartsItsFirstCommandsInTheSamePass) {
    start("seqdo: 1\nseqname: 1\nactset: 31, 1\nrelframe: 3\nseqdo: 1");
    passes(3);
    act(engine.bank, 31).value = 0.0f;
    passes(1);
    EXPECT_EQ(act(engine.bank, 31).value, 1.0f);
}

TEST_F(Sequencing, TheClockKeepsDueTimesAcrossItsRebase) {
    start(
        "absframe: 8388605\nactset: 31, 1\nabsframe: 8388610\nactset: 31, 2\n"
        "absframe: 16777226\nactset: 31, 3");
    int pass = 0;
    float last = 0.0f;
    int changes[3] = {};
    int seen = 0;
    while (pass < 16777300 && seen < 3) {
        sequencerPass(engine.sequencer, engine.bank, engine.randomState);
        ++pass;
        if (act(engine.bank, 31).value != last) {
            last = act(engine.bank, 31).value;
            changes[seen++] = pass;
        }
    }
    EXPECT_EQ(changes[0], 8388605);
    EXPECT_EQ(changes[1], 8388610);
    EXPECT_EQ(changes[2], 16777226);
    EXPECT_LT(engine.sequencer.currentFrame, 8388608.0f);
}

}  // namespace
