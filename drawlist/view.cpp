// The view's matrices, computed in the order and the precision in which OpenGL built them when
// the projection was set up call by call, so that a window shows the same pixels either way.
#include "drawlist/view.hpp"

#include <cmath>

namespace lumenweave::drawlist {

namespace {

constexpr double field_of_view = 300.0;  // degrees
constexpr double near_plane = 0.01;      // units
constexpr double far_plane = 10000.0;    // units
constexpr float camera_distance = 4.0f;  // units, out on +Z
constexpr double pi = 3.14159265358979323846;

}  // namespace

view_matrices view_for(uint32_t width, uint32_t height) {
    const float w = static_cast<float>(width == 0 ? 1u : width);
    const float h = static_cast<float>(height == 0 ? 1u : height);
    const double aspect = static_cast<double>(w / h);
    // A field of view of 300 degrees gives the focal factor cot(150) = -sqrt(3): the 60-degree
    // projection turned by a half turn about the line of sight.
    const double half_angle = field_of_view / 2 * pi / 180;
    const double focal = std::cos(half_angle) / std::sin(half_angle);
    const double depth = far_plane - near_plane;

    view_matrices view = {};
    float* p = view.projection;
    p[0] = static_cast<float>(focal / aspect);
    p[5] = static_cast<float>(focal);
    p[10] = static_cast<float>(-(far_plane + near_plane) / depth);
    p[11] = -1.0f;
    p[14] = static_cast<float>(-2 * near_plane * far_plane / depth);
    // The camera's step back is applied to the projection in single precision: the third column
    // scaled by the distance is added to the fourth (the other terms are zero).
    p[14] = p[10] * -camera_distance + p[14];
    p[15] = p[11] * -camera_distance + p[15];

    for (int i = 0; i < 4; ++i) {
        view.model_view[i * 5] = 1.0f;
    }
    return view;
}

}  // namespace lumenweave::drawlist
