// The frame step without drawing: ring advance, sampling, and the built-in script running on it
// from the first frames to many hours of animation.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "engine/actuators.hpp"
#include "frame/frame.hpp"
#include "frame/saver_input.hpp"
#include "engine/history.hpp"
#include "script/sequencer.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

class BuiltInScript : public ::testing::Test {
  protected:
    frame::Engine engine;
};

class Frame : public ::testing::Test {
  protected:
    frame::Engine engine;
};

// Runs frames with no script, so only what the test sets moves.
std::vector<int> advancingFrames(frame::Engine& engine, float pace, int frames) {
    initEngineWithScript(engine, 1, "");
    actSet(engine.bank, 45, pace);
    std::vector<int> advancing;
    int index = engine.historyState.historyIndex;
    for (int f = 1; f <= frames; ++f) {
        advanceFrame(engine);
        if (engine.historyState.historyIndex != index) {
            advancing.push_back(f);
            index = engine.historyState.historyIndex;
        }
    }
    return advancing;
}

TEST_F(Frame, TheRingAdvancesByThePace) {
    EXPECT_EQ(advancingFrames(engine, 1.0f, 5), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(engine.historyState.historyIndex, 5);
    EXPECT_EQ(engine.historyState.slotFraction, 1.0f);
    EXPECT_EQ(advancingFrames(engine, 0.5f, 5), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(advancingFrames(engine, 0.3f, 11), (std::vector<int>{4, 7, 10}));
    EXPECT_EQ(advancingFrames(engine, 2.5f, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(engine.historyState.slotFraction, 2.5f);
    EXPECT_EQ(advancingFrames(engine, 0.0f, 300), std::vector<int>{});
    EXPECT_EQ(advancingFrames(engine, -0.25f, 4), std::vector<int>{});
    EXPECT_EQ(engine.historyState.slotFraction, -1.0f);
    EXPECT_EQ(advancingFrames(engine, 1.0f, 129).size(), 129u);
    EXPECT_EQ(engine.historyState.historyIndex, 1);
}

// The script runs before the motions start: limits set in a frame start a motion in that frame.
TEST_F(Frame, AMotionStartsInTheFrameItsLimitsAreSet) {
    initEngineWithScript(engine, 1, "actlim1: 31, 2\nactlim2: 31, 4\n");
    const float before = act(engine.bank, 31).value;
    advanceFrame(engine);
    EXPECT_EQ(act(engine.bank, 31).moving, 1);
    EXPECT_NE(act(engine.bank, 31).value, before);
}

TEST_F(Frame, SamplesGoIntoTheNewestSlot) {
    initEngineWithScript(engine, 1, "");
    // One wrap step each way, no more.
    const float hues[][2] = {
        {1.295f, 1.295f - 1.0f}, {-0.2f, -0.2f + 1.0f}, {2.5f, 1.5f}, {1.0f, 0.0f}, {0.5f, 0.5f}};
    for (const auto& hue : hues) {
        actSet(engine.bank, 123, hue[0]);
        advanceFrame(engine);
        EXPECT_EQ(engine.history.hue[engine.historyState.historyIndex], hue[1]);
    }
    struct {
        float value;
        int32_t count;
    } counts[] = {{40.0f, 40}, {39.99f, 39}, {-0.5f, -1}, {1e20f, INT32_MAX}, {-1e20f, INT32_MIN}};
    for (const auto& count : counts) {
        actSet(engine.bank, 52, count.value);
        advanceFrame(engine);
        EXPECT_EQ(engine.historyState.wingCount, count.count);
    }
    for (float outline : {0.0f, 0.2f, -1.0f}) {
        actSet(engine.bank, 18, outline);
        advanceFrame(engine);
        EXPECT_EQ(engine.history.outline[engine.historyState.historyIndex], outline > 0.0f ? 1 : 0);
    }
    actSet(engine.bank, 31, 0.06f);
    actSet(engine.bank, 38, 60.0f);
    actSet(engine.bank, 94, 1.5f);
    actSet(engine.bank, 101, -2.0f);
    actSet(engine.bank, 130, 0.7f);
    advanceFrame(engine);
    const int h = engine.historyState.historyIndex;
    EXPECT_EQ(engine.history.zoom[h], 0.06f);
    EXPECT_EQ(engine.history.twist[h], 60.0f);
    EXPECT_EQ(engine.history.arm[h], 1.5f);
    EXPECT_EQ(engine.history.wrist[h], -2.0f);
    EXPECT_EQ(engine.history.lightness[h], 0.7f);
    EXPECT_EQ(engine.history.mirrorScale[h], 0.0f);
    EXPECT_EQ(engine.history.fill[h], 1);
}

// A wing count past the figure's bound records the bound's wings, not the memory of billions.
TEST_F(Frame, AFrameRecordsAtMost65536Wings) {
    initEngineWithScript(engine, 1, "actset: 52, 65537\nactset: 18, 1\n");
    drawlist::draw_list_t list;
    recordFrame(engine, list);
    EXPECT_EQ(engine.historyState.wingCount, 65537);
    // The clear, the white, the figure's frame of four commands and 105 a wing, the finish.
    EXPECT_EQ(list.commands.size(), 2u + 4u + 105u * 65536u + 1u);
}

TEST_F(Frame, AnglesWrapKeepingTheirSign) {
    initEngineWithScript(engine, 1, "");
    engine.historyState.flipAngle = 350.0f;
    engine.historyState.spinAngle = -350.0f;
    actSet(engine.bank, 87, 20.0f);
    actSet(engine.bank, 80, -20.0f);
    actSet(engine.bank, 73, 1.0f);
    advanceFrame(engine);
    const int h = engine.historyState.historyIndex;
    EXPECT_FLOAT_EQ(engine.historyState.flipAngle, 10.0f);
    EXPECT_FLOAT_EQ(engine.historyState.spinAngle, -10.0f);
    EXPECT_EQ(engine.history.flipAngle[h], engine.historyState.flipAngle);
    EXPECT_EQ(engine.history.spinAngle[h], engine.historyState.spinAngle);
    EXPECT_EQ(engine.historyState.wheelAngle, -1.0f);

    // The slot fraction left by pace 1.0 gives one more advance; after it the angles stay while
    // the wheel turns every frame.
    actSet(engine.bank, 45, 0.0f);
    advanceFrame(engine);
    EXPECT_EQ(engine.historyState.historyIndex, h + 1);
    for (int i = 0; i < 400; ++i) {
        advanceFrame(engine);
    }
    EXPECT_EQ(engine.historyState.historyIndex, h + 1);
    EXPECT_FLOAT_EQ(engine.historyState.flipAngle, 30.0f);
    EXPECT_FLOAT_EQ(engine.historyState.wheelAngle, -42.0f);
}

TEST_F(BuiltInScript, FirstFramesStartTheEightSequences) {
    initEngineWithSeed(engine, 3);
    EXPECT_EQ(engine.historyState.wingCount, 52);
    EXPECT_EQ(engine.history.outline[77], 1);
    advanceFrame(engine);
    EXPECT_EQ(engine.historyState.historyIndex, 1);
    EXPECT_EQ(engine.sequencer.currentFrame, 1.0f);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(sequence(engine.sequencer, n)->seqFrame, 1.0f);
        EXPECT_EQ(sequence(engine.sequencer, n)->current, sequence(engine.sequencer, n)->first);
    }
    EXPECT_EQ(sequence(engine.sequencer, 0)->current, nullptr);
    EXPECT_EQ(engine.historyState.wingCount, 40);
}

TEST_F(BuiltInScript, AfterTheSecondPassEveryActuatorHasItsRange) {
    struct Expect {
        int index;
        float low, high, duration;
    };
    const Expect ranges[] = {
        {101, -1.5f, 1.5f, 160},  {123, 0.0f, 1.295f, 60},   {130, 0.0f, 1.0f, 80},
        {73, -0.137f, 0.0f, 120}, {80, -0.23f, 0.0f, 100},   {87, -2.0f, 0.0f, 50},
        {94, -2.0f, 2.0f, 90},    {38, -200.0f, 0.0f, 2250}, {18, 0.0f, 1.0f, 5000}};
    for (uint32_t seed : {0u, 1u, 1700000000u}) {
        initEngineWithSeed(engine, seed);
        advanceFrame(engine);
        sequencerPass(engine.sequencer, engine.bank, engine.randomState);
        for (const Expect& e : ranges) {
            const engine::Actuator& a = act(engine.bank, e.index);
            EXPECT_EQ(a.lowLimit, e.low) << e.index;
            EXPECT_EQ(a.highLimit, e.high) << e.index;
            EXPECT_EQ(a.duration, e.duration) << e.index;
            EXPECT_EQ(a.variance, 1.0f) << e.index;
            EXPECT_EQ(a.active, 1) << e.index;
        }
        EXPECT_EQ(act(engine.bank, 38).value, 60.0f);
        EXPECT_EQ(act(engine.bank, 18).value, 1.0f);
        const float fixed[][2] = {{127, 0.0f}, {31, 0.06f}, {108, 1.2f}, {52, 40.0f}};
        for (const auto& f : fixed) {
            EXPECT_EQ(act(engine.bank, static_cast<int>(f[0])).value, f[1]);
            EXPECT_EQ(act(engine.bank, static_cast<int>(f[0])).active, 0);
        }
        for (int n : {1, 2, 3, 6, 7, 8}) {
            EXPECT_EQ(sequence(engine.sequencer, n)->current, nullptr) << n;
        }
    }
}

TEST_F(BuiltInScript, ASecondStartOfAnEngineIsFresh) {
    auto run = [this] {
        std::vector<float> values;
        for (int f = 0; f < 3000; ++f) {
            advanceFrame(engine);
            for (const engine::Actuator& a : engine.bank.actuators) {
                values.push_back(a.value);
            }
        }
        values.push_back(static_cast<float>(engine.historyState.historyIndex));
        values.push_back(engine.historyState.spinAngle);
        return values;
    };
    initEngineWithSeed(engine, 11);
    const std::vector<float> first = run();
    initEngineWithSeed(engine, 11);
    EXPECT_EQ(engine.sequencer.currentFrame, 0.0f);
    EXPECT_EQ(engine.historyState.historyIndex, 0);
    EXPECT_EQ(engine.history.zoom[5], 0.0f);
    EXPECT_EQ(run(), first);
    initEngineWithSeed(engine, 12);
    EXPECT_NE(run(), first);
}

// Counts how often sequences 4 and 5 move from one phase (waiting after their first delay) to
// the other (waiting after their second) while the given frames run, checking the actuators'
// ranges and values on the way.
struct PhaseCount {
    int spin = 0;
    int flip = 0;
};

PhaseCount runChecking(frame::Engine& engine, int frames) {
    PhaseCount count;
    const script::Command* spinAt = sequence(engine.sequencer, 4)->current;
    const script::Command* flipAt = sequence(engine.sequencer, 5)->current;
    float low[engine::actuatorCount];
    float high[engine::actuatorCount];
    bool inside[engine::actuatorCount];
    for (int i = 0; i < engine::actuatorCount; ++i) {
        low[i] = engine.bank.actuators[i].lowLimit;
        high[i] = engine.bank.actuators[i].highLimit;
        inside[i] = false;
    }
    for (int f = 0; f < frames; ++f) {
        advanceFrame(engine);
        count.spin += sequence(engine.sequencer, 4)->current != spinAt;
        count.flip += sequence(engine.sequencer, 5)->current != flipAt;
        spinAt = sequence(engine.sequencer, 4)->current;
        flipAt = sequence(engine.sequencer, 5)->current;
        for (int i = 0; i < engine::actuatorCount; ++i) {
            const engine::Actuator& a = engine.bank.actuators[i];
            EXPECT_LE(a.lowLimit, low[i]);
            EXPECT_GE(a.highLimit, high[i]);
            low[i] = a.lowLimit;
            high[i] = a.highLimit;
            if (!a.active) {
                continue;
            }
            const float slack = 1e-5f * (a.highLimit - a.lowLimit);
            const bool now = a.value >= a.lowLimit - slack && a.value <= a.highLimit + slack;
            if (inside[i] && !now) {
                ADD_FAILURE() << "actuator slot " << i << " left its range: " << a.value;
                return count;
            }
            inside[i] = now;
        }
    }
    return count;
}

TEST_F(BuiltInScript, SpinAndFlipKeepChangingPhase) {
    initEngineWithSeed(engine, 21);
    const PhaseCount count = runChecking(engine, 200000);
    // Mean cycles: spin about 1000 frames, flip about 1200.
    EXPECT_GT(count.spin, 200);
    EXPECT_GT(count.flip, 200);
    EXPECT_EQ(act(engine.bank, 80).lowLimit, -5.23f);
    EXPECT_EQ(act(engine.bank, 87).lowLimit, -10.0f);
    for (const engine::Actuator& a : engine.bank.actuators) {
        EXPECT_LE(a.lowLimit, 0.0f);
        EXPECT_GE(a.highLimit, 0.0f);
    }
}

TEST_F(BuiltInScript, SpinAndFlipOutliveTheSinglePrecisionClock) {
    // Started near the clock's rebase point and near 2^24, where a plain float clock stops.
    for (float startAt : {8388608.0f - 20000.0f, 16777216.0f - 1000.0f}) {
        initEngineWithSeed(engine, 22);
        engine.sequencer.currentFrame = startAt;
        runChecking(engine, 40000);
        const PhaseCount later = runChecking(engine, 100000);
        EXPECT_GT(later.spin, 100) << startAt;
        EXPECT_GT(later.flip, 100) << startAt;
        EXPECT_LT(engine.sequencer.currentFrame, 8388608.0f);
    }
}

}  // namespace

namespace {

// The saver's move rule at its edges: 4 pixels, horizontal plus vertical, is followed; 5 ends,
// also as a 3+2 diagonal whose larger leg alone is within the allowance.
TEST(SaverMoveRule, FourPixelsAreFollowedFiveEnd) {
    frame::pointer_watch watch;
    frame::pointer_step step = watch_pointer(watch, 100, 100);
    EXPECT_TRUE(step.first);
    EXPECT_FALSE(step.ends_saver());
    EXPECT_FALSE(watch_pointer(watch, 102, 98).ends_saver());
    EXPECT_EQ(watch.x, 102);
    EXPECT_FALSE(watch_pointer(watch, 98, 98).ends_saver());
    step = watch_pointer(watch, 101, 100);
    EXPECT_TRUE(step.ends_saver());
    // The point stays where the far move left it.
    EXPECT_EQ(watch.x, 98);
    EXPECT_EQ(watch.y, 98);
    EXPECT_TRUE(watch_pointer(watch, 93, 98).ends_saver());
}

// A point placed before the run's first move: that move is measured but never ends the saver.
TEST(SaverMoveRule, PlacedPointMakesTheFirstMoveAwayWithoutEnding) {
    frame::pointer_watch watch;
    place_pointer(watch, 0, 0);
    const frame::pointer_step step = watch_pointer(watch, 3, 2);
    EXPECT_TRUE(step.first);
    EXPECT_TRUE(step.away);
    EXPECT_FALSE(step.ends_saver());
    EXPECT_EQ(watch.x, 0);
    EXPECT_FALSE(watch_pointer(watch, 1, 0).first);
}

}  // namespace
