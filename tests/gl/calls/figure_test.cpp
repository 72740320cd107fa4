// The figure's exact call sequence and colours, checked against the logging GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/opengl.hpp"
#include "replay/gl1/replay.hpp"
#include "engine/history.hpp"
#include "figure/figure.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

class FigureTest : public ::testing::Test {
  protected:
    engine::HistoryRing history;
    engine::HistoryState historyState;
    drawlist::draw_list_t list;

    void SetUp() override {
        std::memset(&history, 0, sizeof history);
        std::memset(history.fill, 1, sizeof history.fill);
        std::memset(history.outline, 1, sizeof history.outline);
        historyState = engine::HistoryState{};
        clear_draw_list(list);
        glLog.clear();
    }

    // Records the figure into the list and returns the calls its replay makes.
    std::vector<GlCall> draw() {
        clear_draw_list(list);
        figure::drawFigure(history, historyState, list);
        return replayed();
    }

    // What replaying the current draw list issues.
    std::vector<GlCall> replayed() {
        glLog.clear();
        replay::replay_draw_list(list);
        return glLog;
    }
};

std::vector<std::string> names(const std::vector<GlCall>& calls) {
    std::vector<std::string> n;
    for (const GlCall& c : calls)
        n.push_back(c.name);
    return n;
}

std::vector<GlCall> callsNamed(const std::vector<GlCall>& calls, const std::string& name) {
    std::vector<GlCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const GlCall& c) { return c.name == name; });
    return out;
}

// The names of one copy's calls: the arm's four transforms, the mirror scale for copies 2-4,
// then a filled square and an outline as the flags ask.
std::vector<std::string> copyNames(bool scaled, bool fill, bool outline) {
    std::vector<std::string> n = {"glPushMatrix", "glRotatef", "glTranslatef", "glRotatef",
                                  "glTranslatef"};
    if (scaled)
        n.push_back("glScalef");
    if (fill) {
        n.insert(n.end(), {"glColor3f", "glBegin"});
        n.insert(n.end(), 4, "glVertex2f");
        n.push_back("glEnd");
    }
    if (outline) {
        n.insert(n.end(), {"glColor3f", "glBegin"});
        n.insert(n.end(), 8, "glVertex2f");
        n.push_back("glEnd");
    }
    n.push_back("glPopMatrix");
    return n;
}

std::vector<std::string> wingNames(bool fill, bool outline) {
    std::vector<std::string> n = copyNames(false, fill, outline);
    for (const char* between : {"glScalef", "glRotatef", "glScalef"}) {
        n.push_back(between);
        const auto copy = copyNames(true, fill, outline);
        n.insert(n.end(), copy.begin(), copy.end());
    }
    n.insert(n.end(), {"glRotatef", "glTranslatef"});
    return n;
}

void expectColor(const GlCall& call, float r, float g, float b) {
    ASSERT_EQ(call.name, "glColor3f");
    EXPECT_NEAR(call.args[0], r, 1e-6);
    EXPECT_NEAR(call.args[1], g, 1e-6);
    EXPECT_NEAR(call.args[2], b, 1e-6);
}

TEST_F(FigureTest, NoWingsDrawsOnlyTheFrame) {
    historyState.wheelAngle = -12.5f;
    for (int n : {0, -1, -2147483647 - 1}) {
        historyState.wingCount = n;
        const auto calls = draw();
        EXPECT_EQ(calls, (std::vector<GlCall>{{"glColor3f", {1, 1, 1}},
                                              {"glPushMatrix", {}},
                                              {"glRotatef", {-12.5f, 1, 0, 0}},
                                              {"glPopMatrix", {}}}))
            << "wing count " << n;
        EXPECT_EQ(replayed(), calls);
        clear_draw_list(list);
    }
}

TEST_F(FigureTest, OneWingWithFillAndOutlineMakes109CallsAndRecordsEachOfThem) {
    historyState.wingCount = 1;
    const auto calls = draw();
    ASSERT_EQ(calls.size(), 109u);

    std::vector<std::string> expected = {"glColor3f", "glPushMatrix", "glRotatef", "glTranslatef"};
    const auto wing = wingNames(true, true);
    expected.insert(expected.end(), wing.begin(), wing.end());
    expected.push_back("glPopMatrix");
    EXPECT_EQ(names(calls), expected);

    EXPECT_EQ(list.commands.size(), 109u);
    EXPECT_EQ(replayed(), calls);

    // The filled square's corners in order, then the outline as four separate sides.
    const auto vertices = callsNamed(calls, "glVertex2f");
    const std::vector<GlCall> square = {{"glVertex2f", {-0.1f, -0.1f}},
                                        {"glVertex2f", {0.1f, -0.1f}},
                                        {"glVertex2f", {0.1f, 0.1f}},
                                        {"glVertex2f", {-0.1f, 0.1f}}};
    EXPECT_EQ(std::vector<GlCall>(vertices.begin(), vertices.begin() + 4), square);
    const std::vector<GlCall> outline = {square[0], square[1], square[1], square[2],
                                         square[2], square[3], square[3], square[0]};
    EXPECT_EQ(std::vector<GlCall>(vertices.begin() + 4, vertices.begin() + 12), outline);
    const auto begins = callsNamed(calls, "glBegin");
    EXPECT_EQ(begins[0].args[0], GL_POLYGON);
    EXPECT_EQ(begins[1].args[0], GL_LINES);
}

TEST_F(FigureTest, WingsVisitTheSlotsNewestFirstAcrossTheWrap) {
    historyState.historyIndex = 1;
    historyState.wingCount = 4;
    historyState.slotFraction = 1.0f;  // sample each slot's own value
    history.zoom[1] = 1.0f;
    history.zoom[0] = 2.0f;
    history.zoom[127] = 3.0f;
    history.zoom[126] = 4.0f;
    history.twist[1] = 10.0f;
    history.twist[0] = 20.0f;
    history.twist[127] = 30.0f;
    history.twist[126] = 40.0f;
    const auto translations = callsNamed(draw(), "glTranslatef");
    // Four centring steps, then per wing 4 copies x 2 arm offsets and the zoom step.
    ASSERT_EQ(translations.size(), 4u + 4 * 9);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(translations[i], (GlCall{"glTranslatef", {0, 0, -0.5 * (i + 1)}}));
        EXPECT_EQ(translations[4 + 9 * i + 8], (GlCall{"glTranslatef", {0, 0, i + 1.0}}));
    }
    const auto rotations = callsNamed(draw(), "glRotatef");
    // The wheel turn, then per wing 4 copies x 2 arm turns, the half turn and the twist.
    ASSERT_EQ(rotations.size(), 1u + 4 * 10);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rotations[1 + 10 * i + 9], (GlCall{"glRotatef", {10.0 * (i + 1), 0, 0, 1}}));
    }
}

TEST_F(FigureTest, WithFractionZeroEachWingShowsTheSlotBeforeItsOwn) {
    historyState.historyIndex = 0;
    historyState.wingCount = 1;
    history.zoom[127] = 0.5f;
    history.zoom[0] = 9.0f;
    const auto translations = callsNamed(draw(), "glTranslatef");
    EXPECT_EQ(translations.front(), (GlCall{"glTranslatef", {0, 0, -0.25}}));
    EXPECT_EQ(translations.back(), (GlCall{"glTranslatef", {0, 0, 0.5}}));
}

TEST_F(FigureTest, ASlotWithoutOutlineIsFilledOnly) {
    historyState.historyIndex = 5;
    historyState.wingCount = 2;
    history.outline[4] = 0;
    const auto calls = draw();
    std::vector<std::string> expected = {"glColor3f", "glPushMatrix", "glRotatef", "glTranslatef",
                                         "glTranslatef"};
    for (bool outline : {true, false}) {  // slot 5, then slot 4
        const auto wing = wingNames(true, outline);
        expected.insert(expected.end(), wing.begin(), wing.end());
    }
    expected.push_back("glPopMatrix");
    EXPECT_EQ(names(calls), expected);
    EXPECT_EQ(replayed(), calls);
}

TEST_F(FigureTest, ArmTransformsAndMirrorPatternUseTheSampledValues) {
    historyState.historyIndex = 10;
    historyState.wingCount = 1;
    historyState.slotFraction = 0.5f;
    history.spinAngle[9] = 350.0f;  // the spin crosses 0 along the shorter arc
    history.spinAngle[10] = 10.0f;
    history.flipAngle[9] = 20.0f;
    history.flipAngle[10] = 40.0f;
    history.arm[10] = 0.8f;
    history.wrist[9] = -0.4f;
    const auto calls = draw();
    const std::vector<GlCall> copy1 = {{"glPushMatrix", {}},
                                       {"glRotatef", {360.0f, 0, 0, 1}},
                                       {"glTranslatef", {0, 0.4f, 0}},
                                       {"glRotatef", {30.0f, 0, 1, 0}},
                                       {"glTranslatef", {-0.2f, 0, 0}}};
    EXPECT_EQ(std::vector<GlCall>(calls.begin() + 4, calls.begin() + 9), copy1);
    // Copies 2-4 carry the never-written mirror scale of 0; the pattern between copies is fixed.
    const auto scales = callsNamed(calls, "glScalef");
    EXPECT_EQ(scales, (std::vector<GlCall>{{"glScalef", {1, -1, 1}},
                                           {"glScalef", {0, 0, 1}},
                                           {"glScalef", {0, 0, 1}},
                                           {"glScalef", {1, -1, 1}},
                                           {"glScalef", {0, 0, 1}}}));
    const auto rotations = callsNamed(calls, "glRotatef");
    EXPECT_EQ(rotations[5], (GlCall{"glRotatef", {180, 0, 0, 1}}));
}

TEST_F(FigureTest, FillAndOutlineColoursComeFromHueAndLightness) {
    historyState.wingCount = 1;
    history.hue[127] = 0.8f;
    history.lightness[127] = 0.5f;
    auto colours = callsNamed(draw(), "glColor3f");
    ASSERT_EQ(colours.size(), 9u);
    expectColor(colours[1], 0.8f, 0.0f, 1.0f);  // fill
    expectColor(colours[2], 0.2f, 1.0f, 0.0f);  // outline: hue 0.3, lightness 0.5

    history.lightness[127] = 0.0f;
    colours = callsNamed(draw(), "glColor3f");
    expectColor(colours[1], 0, 0, 0);
    expectColor(colours[2], 1, 1, 1);

    // Lightness 0.9 then 0.1 halfway meets at 1.0 (white), the short way round.
    historyState.historyIndex = 0;
    historyState.slotFraction = 0.5f;
    history.lightness[127] = 0.9f;
    history.lightness[0] = 0.1f;
    colours = callsNamed(draw(), "glColor3f");
    expectColor(colours[1], 1, 1, 1);
    expectColor(colours[2], 0, 0, 0);
}

TEST(HlsToRgb, CoversTheHueCircleAndItsEdges) {
    struct Case {
        float h, l, s, r, g, b;
    };
    const Case cases[] = {
        {0.0f, 0.5f, 1.0f, 1, 0, 0},     {1.0f / 3, 0.5f, 1.0f, 0, 1, 0},
        {2.0f / 3, 0.5f, 1.0f, 0, 0, 1}, {0.8f, 0.5f, 1.0f, 0.8f, 0, 1},
        {0.3f, 0.5f, 1.0f, 0.2f, 1, 0},  {1.0f, 0.5f, 1.0f, 1, 0, 0},
        {1.4f, 0.5f, 1.0f, 0, 1, 0.4f},  {0.5f, 0.25f, 1.0f, 0, 0.5f, 0.5f},
        {0.5f, 0.75f, 1.0f, 0.5f, 1, 1}, {0.1f, 0.4f, 0.0f, 0.4f, 0.4f, 0.4f},
        {0.0f, 0.0f, 1.0f, 0, 0, 0},     {0.6f, 1.0f, 1.0f, 1, 1, 1},
    };
    for (const Case& c : cases) {
        const figure::Color got = figure::hlsToRgb(c.h, c.l, c.s);
        EXPECT_NEAR(got.red, c.r, 1e-6) << c.h << " " << c.l << " " << c.s;
        EXPECT_NEAR(got.green, c.g, 1e-6) << c.h << " " << c.l << " " << c.s;
        EXPECT_NEAR(got.blue, c.b, 1e-6) << c.h << " " << c.l << " " << c.s;
    }
}

TEST(HlsChannel, WrapsOnceEachWayAndRampsBetweenLowAndHigh) {
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 30.0f), 0.5f);
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 60.0f), 1.0f);
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 179.9f), 1.0f);
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 210.0f), 0.5f);
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.2f, 0.6f, 240.0f), 0.2f);
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 390.0f), 0.5f);   // 390 - 360
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, -330.0f), 0.5f);  // -330 + 360
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 360.0f), 0.0f);   // not above 360: no wrap
    EXPECT_FLOAT_EQ(figure::hlsChannel(0.0f, 1.0f, 750.0f),
                    0.0f);  // one wrap only: 390 is past 240
}

}  // namespace
