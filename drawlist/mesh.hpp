// A frame's draw list turned into one array of coloured triangles in clip space, for replayers
// that have neither OpenGL's matrix stack nor its wide lines (the page's WebGL 2, and any later
// backend). Needs no graphics library.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "drawlist/view.hpp"

namespace lumenweave::drawlist {

// One corner of a triangle, as the vertex shader takes it: 7 floats, 28 bytes, no padding.
struct mesh_vertex {
    float clip[4];   // clip-space x, y, z, w: the view's projection and model-view applied
    float color[3];  // red, green, blue: 0..1
};
static_assert(sizeof(mesh_vertex) == 7 * sizeof(float), "a vertex is seven packed floats");

// A vertex of the primitive being built: where it lands and the colour current when given.
struct mesh_corner {
    std::array<double, 4> clip;  // x, y, z, w
    float color[3];
};

// The frame as triangles, drawn in order with no depth test and no blending.
struct frame_mesh {
    std::vector<mesh_vertex> vertices;  // three per triangle
    bool clears = false;                // the frame clears the colour buffer to black first
    // build_mesh's working storage, kept so that each frame reuses it.
    std::vector<std::array<double, 16>> matrix_stack;  // column-major
    std::vector<mesh_corner> primitive;
};

// Builds the mesh of `list` seen through `view` in a drawing buffer of width x height pixels,
// outlines line_width pixels wide (at least one). Polygons become triangle fans; each segment of
// a line becomes a quad, as OpenGL draws a wide line. The mesh's storage is reused.
void build_mesh(const draw_list_t& list, const view_matrices& view, uint32_t width, uint32_t height,
                float line_width, frame_mesh& mesh);

}  // namespace lumenweave::drawlist
