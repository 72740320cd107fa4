// The view's matrices against real OpenGL (Mesa): equal to what GL builds from the perspective
// and the camera's step back call by call, and loaded by setupView as they are.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "replay/gl1/opengl.hpp"
#include "replay/gl1/replay.hpp"
#include "drawlist/view.hpp"
#include "offscreen.hpp"

using namespace lumenweave;

namespace {

std::vector<float> matrixOf(GLenum which) {
    std::vector<float> m(16);
    glGetFloatv(which, m.data());
    return m;
}

std::vector<float> asVector(const float (&m)[16]) {
    return std::vector<float>(m, m + 16);
}

TEST(ViewMatrices, AreWhatGlBuildsAndWhatSetupViewLeaves) {
    offscreen::OffscreenContext gl(16, 16);
    const std::pair<uint32_t, uint32_t> sizes[] = {{640, 480}, {1920, 1080}, {480, 640}, {1, 1},
                                                   {16384, 1}, {640, 0},     {0, 480},   {0, 0}};
    for (const auto& [width, height] : sizes) {
        const drawlist::view_matrices view = drawlist::view_for(width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const float aspect =
            static_cast<float>(std::max(width, 1u)) / static_cast<float>(std::max(height, 1u));
        gluPerspective(300.0, static_cast<double>(aspect), 0.01, 10000.0);
        glTranslatef(0.0f, 0.0f, -4.0f);
        EXPECT_EQ(asVector(view.projection), matrixOf(GL_PROJECTION_MATRIX))
            << width << " x " << height;

        glLoadIdentity();
        replay::setupView(width, height);
        EXPECT_EQ(asVector(view.projection), matrixOf(GL_PROJECTION_MATRIX));
        EXPECT_EQ(asVector(view.model_view), matrixOf(GL_MODELVIEW_MATRIX));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
}

}  // namespace
