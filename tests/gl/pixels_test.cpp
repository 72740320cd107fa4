// Pixels from real OpenGL (Mesa, offscreen): where the view puts model space, that a frame
// replayed from the draw list in another context looks exactly like the master's, and that the
// frame's mesh draws the replay's picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "drawlist/drawlist.hpp"
#include "drawlist/mesh.hpp"
#include "replay/gl1/opengl.hpp"
#include "engine/history.hpp"
#include "figure/figure.hpp"
#include "replay/gl1/replay.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "offscreen.hpp"

using namespace lumenweave;

namespace {

constexpr int width = 160;
constexpr int height = 100;

struct Centroid {
    double x, y;
    int count;
};

// Centre of the pixels that are not black, in window pixels with y growing downwards.
Centroid litCentroid(const std::vector<uint8_t>& rgb) {
    Centroid c{0, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            if (p[0] || p[1] || p[2]) {
                c.x += x;
                c.y += y;
                ++c.count;
            }
        }
    }
    if (c.count) {
        c.x /= c.count;
        c.y /= c.count;
    }
    return c;
}

Centroid drawPoint(const offscreen::OffscreenContext& gl, float x, float y) {
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(3.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_POINTS);
    glVertex3f(x, y, 0.0f);
    glEnd();
    glFinish();
    return litCentroid(gl.readPixels());
}

TEST(ViewPixels, ModelSpaceIsSeenTurnedByAHalfTurn) {
    offscreen::OffscreenContext gl(width, height);
    replay::setupView(width, height);
    const Centroid origin = drawPoint(gl, 0.0f, 0.0f);
    ASSERT_GT(origin.count, 0);
    EXPECT_NEAR(origin.x, width / 2.0 - 0.5, 1.0);
    EXPECT_NEAR(origin.y, height / 2.0 - 0.5, 1.0);

    const Centroid plusX = drawPoint(gl, 1.0f, 0.0f);
    ASSERT_GT(plusX.count, 0);
    EXPECT_LT(plusX.x, origin.x - 10);
    EXPECT_NEAR(plusX.y, origin.y, 1.0);

    const Centroid plusY = drawPoint(gl, 0.0f, 1.0f);
    ASSERT_GT(plusY.count, 0);
    EXPECT_GT(plusY.y, origin.y + 10);
    EXPECT_NEAR(plusY.x, origin.x, 1.0);
    // One model unit spans the same number of pixels in X and Y whatever the aspect.
    EXPECT_NEAR(origin.x - plusX.x, plusY.y - origin.y, 1.0);
}

TEST(ViewPixels, AnEmptyClientAreaLeavesAFiniteProjection) {
    offscreen::OffscreenContext gl(width, height);
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{width, 0}, {0, height}, {0, 0}}) {
        replay::setupView(w, h);
        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        for (double v : m)
            EXPECT_TRUE(std::isfinite(v)) << w << "x" << h;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << w << "x" << h;
    }
    replay::setupView(width, height);
    EXPECT_GT(drawPoint(gl, 0.0f, 0.0f).count, 0);
}

// A ring that shows a recognisable column: wings on an arm, turning and changing hue.
void fillRing(engine::HistoryRing& history, engine::HistoryState& historyState) {
    std::memset(&history, 0, sizeof history);
    std::memset(history.fill, 1, sizeof history.fill);
    std::memset(history.outline, 1, sizeof history.outline);
    for (int s = 0; s < engine::historySize; ++s) {
        history.zoom[s] = 0.06f;
        history.twist[s] = 60.0f;
        history.arm[s] = 0.5f;
        history.wrist[s] = 0.3f;
        history.spinAngle[s] = std::fmod(7.0f * s, 360.0f);
        history.flipAngle[s] = std::fmod(3.0f * s, 360.0f);
        history.hue[s] = s / 128.0f;
        history.lightness[s] = 0.5f;
    }
    historyState = engine::HistoryState{};
    historyState.historyIndex = 20;
    historyState.wingCount = 40;
    historyState.slotFraction = 0.25f;
    historyState.wheelAngle = -30.0f;
}

TEST(ReplayPixels, ACloneReplayingTheListDrawsTheMastersPicture) {
    engine::HistoryRing history;
    engine::HistoryState historyState;
    fillRing(history, historyState);
    drawlist::draw_list_t list;
    offscreen::OffscreenContext master(width, height);
    replay::setupView(width, height);
    offscreen::OffscreenContext clone(width, height);
    replay::setupView(width, height);

    record_clear(list, drawlist::draw_clear_color);
    figure::drawFigure(history, historyState, list);
    record_finish(list);
    master.makeCurrent();
    replay::replay_draw_list(list);
    const auto expected = master.readPixels();
    ASSERT_GT(litCentroid(expected).count, 200);

    clone.makeCurrent();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);  // the recorded clear must replace this
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    replay::replay_draw_list(list);
    EXPECT_TRUE(clone.readPixels() == expected);
}

// Mean colour of the lit pixels.
struct MeanColour {
    double r, g, b;
};

MeanColour meanLitColour(const std::vector<uint8_t>& rgb) {
    MeanColour m{0, 0, 0};
    int lit = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (rgb[i] || rgb[i + 1] || rgb[i + 2]) {
            m.r += rgb[i];
            m.g += rgb[i + 1];
            m.b += rgb[i + 2];
            ++lit;
        }
    }
    if (lit) {
        m.r /= lit;
        m.g /= lit;
        m.b /= lit;
    }
    return m;
}

TEST(EnginePixels, TheBuiltInAnimationDrawsAFigureWhoseColoursDrift) {
    offscreen::OffscreenContext gl(width, height);
    replay::setupView(width, height);
    frame::Engine engine;
    initEngineWithSeed(engine, 1);
    std::vector<MeanColour> colours;
    for (int frame = 1; frame <= 600; ++frame) {
        replay::renderFrame(engine, nullptr);
        if (frame % 200 == 0) {
            const auto rgb = gl.readPixels();
            EXPECT_GT(litCentroid(rgb).count, 100) << "frame " << frame;
            colours.push_back(meanLitColour(rgb));
        }
    }
    for (size_t i = 1; i < colours.size(); ++i) {
        const double change = std::fabs(colours[i].r - colours[i - 1].r) +
                              std::fabs(colours[i].g - colours[i - 1].g) +
                              std::fabs(colours[i].b - colours[i - 1].b);
        EXPECT_GT(change, 20.0) << change << " between samples " << i - 1 << " and " << i;
    }
}

TEST(EnginePixels, ACloneReplayingEachRecordedFrameMatchesTheMaster) {
    offscreen::OffscreenContext master(width, height);
    replay::setupView(width, height);
    offscreen::OffscreenContext clone(width, height);
    replay::setupView(width, height);
    frame::Engine engine;
    initEngineWithSeed(engine, 7);
    drawlist::draw_list_t list;
    for (int frame = 1; frame <= 240; ++frame) {
        master.makeCurrent();
        replay::renderFrame(engine, &list);
        if (frame % 60 == 0) {
            const auto expected = master.readPixels();
            clone.makeCurrent();
            replay::replay_draw_list(list);
            EXPECT_TRUE(clone.readPixels() == expected) << "frame " << frame;
        }
    }
}

// The mesh's triangles drawn as a backend without OpenGL's matrices would: vertex arrays in clip
// space, identity matrices.
std::vector<uint8_t> drawMesh(const offscreen::OffscreenContext& gl,
                              const drawlist::frame_mesh& mesh) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (mesh.clears) {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(4, GL_FLOAT, sizeof(drawlist::mesh_vertex), mesh.vertices[0].clip);
    glColorPointer(3, GL_FLOAT, sizeof(drawlist::mesh_vertex), mesh.vertices[0].color);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.vertices.size()));
    glFinish();
    return gl.readPixels();
}

bool lit(const uint8_t* p) {
    return p[0] || p[1] || p[2];
}

// The page's WebGL draws this mesh; here it stands against the OpenGL 1.x replay of each frame.
// Lines are rasterised differently (a quad against OpenGL's diamond rule), so the test allows a
// seam of pixels, not a shifted or missing figure.
TEST(MeshPixels, TheMeshDrawsTheReplaysPicture) {
    constexpr int w = 480;
    constexpr int h = 300;
    offscreen::OffscreenContext replay(w, h);
    replay::setupView(w, h);
    offscreen::OffscreenContext drawn(w, h);
    glViewport(0, 0, w, h);
    frame::Engine engine;
    initEngineWithSeed(engine, 7);
    drawlist::draw_list_t list;
    drawlist::frame_mesh mesh;
    for (int frame = 1; frame <= 240; ++frame) {
        replay.makeCurrent();
        replay::renderFrame(engine, &list);
        if (frame % 60 != 0) {
            continue;
        }
        const auto expected = replay.readPixels();
        build_mesh(list, drawlist::view_for(w, h), w, h, 1.0f, mesh);
        drawn.makeCurrent();
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);  // the mesh's clear must replace this
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        const auto got = drawMesh(drawn, mesh);
        int either = 0;
        int both = 0;
        int sameColour = 0;  // lit in both, no channel more than 2 levels apart
        for (size_t i = 0; i < got.size(); i += 3) {
            const bool a = lit(&expected[i]);
            const bool b = lit(&got[i]);
            either += a || b;
            both += a && b;
            sameColour += a && b && std::abs(expected[i] - got[i]) <= 2 &&
                          std::abs(expected[i + 1] - got[i + 1]) <= 2 &&
                          std::abs(expected[i + 2] - got[i + 2]) <= 2;
        }
        ASSERT_GT(either, 1000) << "frame " << frame;
        const double common = 100.0 * both / either;
        EXPECT_GE(common, 99.0) << "frame " << frame << ": " << both << " of " << either
                                << " lit pixels in common (" << common << " %)";
        EXPECT_GE(sameColour, both * 99 / 100) << "frame " << frame;
    }
}

}  // namespace
