// The view every window draws the draw list under: the viewport's projection and the model-view
// matrix a frame starts from, as numbers that any replayer loads.
#pragma once

#include <cstdint>

namespace lumenweave::drawlist {

// Column-major 4 x 4 matrices, as OpenGL and WebGL take them.
struct view_matrices {
    float projection[16];  // the perspective, with the camera 4 units out on +Z
    float model_view[16];  // where every frame's matrix operations start: the identity, which a
                           // new OpenGL context holds and each frame leaves as it found it
};

// The view of a client area of width x height pixels. An empty side (a minimised window reports
// 0 x 0) counts as one pixel, so that the matrices stay finite until a real size comes.
view_matrices view_for(uint32_t width, uint32_t height);

}  // namespace lumenweave::drawlist
