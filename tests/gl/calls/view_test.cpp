// The view's calls: viewport, projection and the camera's distance, for real and empty sizes.
#include <gtest/gtest.h>

#include <cmath>

#include "drawlist/opengl.hpp"
#include "figure/view.hpp"
#include "util/util.hpp"

namespace {

std::vector<GlCall> viewCalls(uint32_t width, uint32_t height, double aspect) {
    return {{"glViewport", {0, 0, double(width), double(height)}},
            {"glMatrixMode", {GL_PROJECTION}},
            {"glLoadIdentity", {}},
            {"gluPerspective", {300.0, aspect, 0.01, 10000.0}},
            {"glTranslatef", {0, 0, -4.0f}},
            {"glMatrixMode", {GL_MODELVIEW}}};
}

TEST(SetupView, SetsViewportPerspectiveAndCameraInOrder) {
    glLog.clear();
    setupView(1920, 1080);
    EXPECT_EQ(glLog, viewCalls(1920, 1080, 1920.0f / 1080.0f));
    EXPECT_FLOAT_EQ(static_cast<float>(glLog[3].args[1]), 1.7777778f);

    glLog.clear();
    setupView(800, 600);
    EXPECT_EQ(glLog, viewCalls(800, 600, 800.0f / 600.0f));
    EXPECT_FLOAT_EQ(static_cast<float>(glLog[3].args[1]), 1.3333334f);
}

TEST(SetupView, AnEmptySideCountsAsOnePixelForTheAspect) {
    glLog.clear();
    setupView(640, 0);
    EXPECT_EQ(glLog, viewCalls(640, 0, 640.0));
    glLog.clear();
    setupView(0, 480);
    EXPECT_EQ(glLog, viewCalls(0, 480, 1.0f / 480.0f));
    glLog.clear();
    setupView(0, 0);
    EXPECT_EQ(glLog, viewCalls(0, 0, 1.0));
}

}  // namespace
