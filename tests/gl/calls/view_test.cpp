// The view's calls: the viewport, then the computed projection loaded while the projection
// matrix is current, leaving the model-view matrix current for the frame.
#include <gtest/gtest.h>

#include "replay/gl1/opengl.hpp"
#include "replay/gl1/replay.hpp"
#include "drawlist/view.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

TEST(SetupView, FitsTheViewportAndLoadsTheProjectionInOrder) {
    for (const auto& [width, height] : {std::pair{1920u, 1080u}, {640u, 0u}}) {
        glLog.clear();
        replay::setupView(width, height);
        const drawlist::view_matrices view = drawlist::view_for(width, height);
        const std::vector<GlCall> expected = {
            {"glViewport", {0, 0, double(width), double(height)}},
            {"glMatrixMode", {GL_PROJECTION}},
            {"glLoadMatrixf", std::vector<double>(view.projection, view.projection + 16)},
            {"glMatrixMode", {GL_MODELVIEW}}};
        EXPECT_EQ(glLog, expected) << width << " x " << height;
    }
}

}  // namespace
