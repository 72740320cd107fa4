// One frame of the frame driver: its calls around the figure, the ring's advance for each pace,
// and the wing count taken from actuator 52.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/opengl.hpp"
#include "engine/indices.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "replay/gl1/replay.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

// An engine without a script, so that only the actuators a test sets move anything.
class FrameTest : public ::testing::Test {
  protected:
    frame::Engine engine;
    drawlist::draw_list_t list;

    void SetUp() override {
        initEngineWithScript(engine, 1, "");
        glLog.clear();
    }

    void set(int index, float value) { act(engine.bank, index).value = value; }
};

TEST_F(FrameTest, AFrameClearsDrawsInWhiteAndFinishes) {
    set(engine::wingCountIndex, 0.0f);
    set(engine::wheelIndex, 2.0f);
    replay::renderFrame(engine, &list);
    const std::vector<GlCall> expected = {{"glClear", {GL_COLOR_BUFFER_BIT}},
                                          {"glColor3f", {1, 1, 1}},
                                          {"glColor3f", {1, 1, 1}},
                                          {"glPushMatrix", {}},
                                          {"glRotatef", {-2.0f, 1, 0, 0}},
                                          {"glPopMatrix", {}},
                                          {"glFinish", {}}};
    EXPECT_EQ(glLog, expected);
    const std::vector<GlCall> calls = glLog;
    glLog.clear();
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, calls);
}

TEST_F(FrameTest, RecordingFollowsTheListGiven) {
    set(engine::wingCountIndex, 3.0f);
    set(engine::outlineIndex, 1.0f);
    replay::renderFrame(engine, nullptr);
    EXPECT_TRUE(list.commands.empty());
    const size_t perFrame = glLog.size();
    EXPECT_EQ(perFrame, 2u + (3 + 3 * 105 + 1) + 1);

    glLog.clear();
    replay::renderFrame(engine, &list);
    EXPECT_EQ(list.commands.size(), perFrame);
    const std::vector<GlCall> recordedFrame = glLog;
    glLog.clear();
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, recordedFrame);

    // Not recording again: the list keeps the last recorded frame untouched.
    replay::renderFrame(engine, nullptr);
    EXPECT_EQ(list.commands.size(), perFrame);
}

TEST_F(FrameTest, RecordingKeepsTheListsStorageFromFrameToFrame) {
    set(engine::wingCountIndex, 40.0f);
    set(engine::outlineIndex, 1.0f);
    replay::renderFrame(engine, &list);
    const drawlist::draw_command* commands = list.commands.data();
    const uint32_t* words = list.words.data();
    const size_t count = list.commands.size();
    for (int frame = 0; frame < 50; ++frame) {
        clear_draw_list(list);
        replay::renderFrame(engine, &list);
        ASSERT_EQ(list.commands.size(), count);
        EXPECT_EQ(list.commands.data(), commands);
        EXPECT_EQ(list.words.data(), words);
    }
}

// The slot fraction each of the first frames draws with: the figure's interpolation weight.
std::vector<float> drawFractions(frame::Engine& engine, float pace, int frames) {
    initEngineWithScript(engine, 1, "");
    act(engine.bank, engine::paceIndex).value = pace;
    std::vector<float> fractions;
    for (int i = 0; i < frames; ++i) {
        replay::renderFrame(engine, nullptr);
        fractions.push_back(engine.historyState.slotFraction - pace);
    }
    return fractions;
}

TEST_F(FrameTest, TheFigureIsDrawnWithTheFractionLeftByTheRingAdvance) {
    const struct {
        float pace;
        std::vector<float> fractions;
    } cases[] = {
        {1.0f, {0, 0, 0, 0, 0, 0, 0}},
        {0.5f, {0, 0, 0, 0, 0, 0, 0}},
        {0.3f, {0, 0.3f, 0.6f, 0, 0.3f, 0.6f, 0}},
        {2.5f, {0, 0, 0, 0, 0, 0, 0}},
        {0.0f, {0, 0, 0, 0, 0, 0, 0}},
        {-0.25f, {0, -0.25f, -0.5f, -0.75f, -1.0f, -1.25f, -1.5f}},
    };
    for (const auto& c : cases) {
        const std::vector<float> got = drawFractions(engine, c.pace, 7);
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i], c.fractions[i], 1e-6) << "pace " << c.pace << ", frame " << i + 1;
        }
    }
}

TEST_F(FrameTest, AFrozenRingKeepsRewritingTheNewestSlotWhileTheWheelTurns) {
    set(engine::paceIndex, 0.0f);
    set(engine::flipIndex, 5.0f);
    set(engine::spinIndex, 7.0f);
    set(engine::wheelIndex, 1.5f);
    for (int i = 1; i <= 20; ++i) {
        set(engine::zoomIndex, 0.01f * i);
        replay::renderFrame(engine, nullptr);
        EXPECT_EQ(engine.historyState.historyIndex, 0);
        EXPECT_EQ(engine.historyState.flipAngle, 0.0f);
        EXPECT_EQ(engine.historyState.spinAngle, 0.0f);
        EXPECT_FLOAT_EQ(engine.historyState.wheelAngle, -1.5f * i);
        EXPECT_EQ(engine.history.zoom[0], 0.01f * i);
    }
}

// Values whose floor does not fit 32 bits are pinned to the range; NaN draws no wing.
TEST_F(FrameTest, WingCountIsTheFloorOfActuator52PinnedToInt32) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int32_t count;
    } cases[] = {
        {40.7f, 40},
        {-3.0f, -3},
        {2147483520.0f, 2147483520},  // the largest float below 2^31 still fits
        {3.0e9f, INT32_MAX},
        {inf, INT32_MAX},
        {-3.0e9f, INT32_MIN},
        {-inf, INT32_MIN},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        set(engine::wingCountIndex, c.value);
        advanceFrame(engine);
        EXPECT_EQ(engine.historyState.wingCount, c.count) << "actuator 52 at " << c.value;
    }
}

}  // namespace
