// One frame of the frame driver: its calls around the figure, the ring's advance for each pace,
// and the wing count taken from actuator 52.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "drawlist/drawlist.hpp"
#include "drawlist/opengl.hpp"
#include "engine/actuators.hpp"
#include "engine/frame.hpp"
#include "engine/history.hpp"
#include "figure/parameters.hpp"
#include "gl_log.hpp"

namespace {

// An engine without a script, so that only the actuators a test sets move anything.
class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initEngineWithScript(1, "");
        clear_draw_list();
        glLog.clear();
    }

    static void set(int index, float value) { findActuator(index)->value = value; }
};

TEST_F(FrameTest, AFrameClearsDrawsInWhiteAndFinishes) {
    set(wingCountIndex, 0.0f);
    set(wheelIndex, 2.0f);
    renderFrame(2);
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
    replay_draw_list();
    EXPECT_EQ(glLog, calls);
}

TEST_F(FrameTest, RecordingFollowsTheWindowCount) {
    set(wingCountIndex, 3.0f);
    set(outlineIndex, 1.0f);
    renderFrame(1);
    EXPECT_TRUE(draw_list.commands.empty());
    const size_t perFrame = glLog.size();
    EXPECT_EQ(perFrame, 2u + (3 + 3 * 105 + 1) + 1);

    glLog.clear();
    renderFrame(2);
    EXPECT_EQ(draw_list.commands.size(), perFrame);
    const std::vector<GlCall> recordedFrame = glLog;
    glLog.clear();
    replay_draw_list();
    EXPECT_EQ(glLog, recordedFrame);

    // Back to one window: the list keeps the last recorded frame untouched.
    renderFrame(1);
    EXPECT_EQ(draw_list.commands.size(), perFrame);
}

TEST_F(FrameTest, RecordingKeepsTheListsStorageFromFrameToFrame) {
    set(wingCountIndex, 40.0f);
    set(outlineIndex, 1.0f);
    renderFrame(2);
    const draw_command* commands = draw_list.commands.data();
    const uint32_t* words = draw_list.words.data();
    const size_t count = draw_list.commands.size();
    for (int frame = 0; frame < 50; ++frame) {
        clear_draw_list();
        renderFrame(2);
        ASSERT_EQ(draw_list.commands.size(), count);
        EXPECT_EQ(draw_list.commands.data(), commands);
        EXPECT_EQ(draw_list.words.data(), words);
    }
}

// The slot fraction each of the first frames draws with: the figure's interpolation weight.
std::vector<float> drawFractions(float pace, int frames) {
    initEngineWithScript(1, "");
    findActuator(paceIndex)->value = pace;
    std::vector<float> fractions;
    for (int i = 0; i < frames; ++i) {
        renderFrame(1);
        fractions.push_back(historyState.slotFraction - pace);
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
        const std::vector<float> got = drawFractions(c.pace, 7);
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i], c.fractions[i], 1e-6) << "pace " << c.pace << ", frame " << i + 1;
        }
    }
}

TEST_F(FrameTest, AFrozenRingKeepsRewritingTheNewestSlotWhileTheWheelTurns) {
    set(paceIndex, 0.0f);
    set(flipIndex, 5.0f);
    set(spinIndex, 7.0f);
    set(wheelIndex, 1.5f);
    for (int i = 1; i <= 20; ++i) {
        set(zoomIndex, 0.01f * i);
        renderFrame(1);
        EXPECT_EQ(historyState.historyIndex, 0);
        EXPECT_EQ(historyState.flipAngle, 0.0f);
        EXPECT_EQ(historyState.spinAngle, 0.0f);
        EXPECT_FLOAT_EQ(historyState.wheelAngle, -1.5f * i);
        EXPECT_EQ(history.zoom[0], 0.01f * i);
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
        set(wingCountIndex, c.value);
        advanceFrame();
        EXPECT_EQ(historyState.wingCount, c.count) << "actuator 52 at " << c.value;
    }
}

}  // namespace
