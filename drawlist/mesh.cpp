// The draw list replayed on the CPU as OpenGL 1.x would: the matrix stack, the colour current at
// each vertex, polygons and lines. Double precision throughout, as the page's replayer computed
// it before (its pictures are tested against the native renderer's), rounded to float at the end.
#include "drawlist/mesh.hpp"

#include <algorithm>
#include <cmath>

namespace lumenweave::drawlist {

namespace {

using matrix = std::array<double, 16>;     // column-major
using clip_point = std::array<double, 4>;  // x, y, z, w

// Vertices nearer the camera plane than this (in clip w) are cut off, as the near plane does.
constexpr double near_w = 1e-5;
constexpr double pi = 3.14159265358979323846;

matrix identity() {
    matrix r = {};
    r[0] = r[5] = r[10] = r[15] = 1;
    return r;
}

matrix multiply(const matrix& a, const matrix& b) {
    matrix r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[col * 4 + k];
            }
            r[col * 4 + row] = sum;
        }
    }
    return r;
}

// OpenGL's rotation by angle degrees about the axis (x, y, z).
matrix rotation(double angle, double x, double y, double z) {
    matrix r = identity();
    const double length = std::hypot(x, y, z);
    if (length == 0) {
        return r;
    }
    x /= length;
    y /= length;
    z /= length;
    const double radians = angle * pi / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1 - c;
    matrix& m = r;
    m[0] = x * x * t + c;
    m[1] = y * x * t + z * s;
    m[2] = x * z * t - y * s;
    m[4] = x * y * t - z * s;
    m[5] = y * y * t + c;
    m[6] = y * z * t + x * s;
    m[8] = x * z * t + y * s;
    m[9] = y * z * t - x * s;
    m[10] = z * z * t + c;
    return r;
}

matrix translation(double x, double y, double z) {
    matrix r = identity();
    r[12] = x;
    r[13] = y;
    r[14] = z;
    return r;
}

matrix scaling(double x, double y, double z) {
    matrix r = identity();
    r[0] = x;
    r[5] = y;
    r[10] = z;
    return r;
}

matrix widen(const float (&m)[16]) {
    matrix r;
    std::copy(m, m + 16, r.begin());
    return r;
}

void emit(std::vector<mesh_vertex>& out, const clip_point& p, const float (&color)[3]) {
    mesh_vertex& v = out.emplace_back();
    for (int i = 0; i < 4; ++i) {
        v.clip[i] = static_cast<float>(p[i]);
    }
    std::copy(color, color + 3, v.color);
}

// Where outlines are widened: the drawing buffer's size and half the line's width, in pixels.
struct line_style {
    double width;
    double height;
    double half_width;
};

// A segment between two clip-space points as two triangles, half_width pixels either side.
void segment(std::vector<mesh_vertex>& out, clip_point a, clip_point b, const float (&color)[3],
             const line_style& style) {
    if (a[3] < near_w && b[3] < near_w) {
        return;
    }
    // Cut the part behind the near plane off, as clipping would.
    if (a[3] < near_w || b[3] < near_w) {
        const double t = (near_w - a[3]) / (b[3] - a[3]);
        clip_point cut;
        for (int i = 0; i < 4; ++i) {
            cut[i] = a[i] + (b[i] - a[i]) * t;
        }
        (a[3] < near_w ? a : b) = cut;
    }
    const double dx = (b[0] / b[3] - a[0] / a[3]) * style.width / 2;
    const double dy = (b[1] / b[3] - a[1] / a[3]) * style.height / 2;
    // OpenGL widens a line along its minor axis, not across it: a parallelogram whose ends stay
    // vertical (a mostly horizontal line) or horizontal, one pixel per column or row at width 1.
    const bool mostly_horizontal = std::fabs(dx) >= std::fabs(dy);
    const int axis = mostly_horizontal ? 1 : 0;
    // Half the width in normalised device units along that axis; times w in clip space.
    const double half = style.half_width * 2 / (mostly_horizontal ? style.height : style.width);
    const auto offset = [&](clip_point p, double side) {
        p[axis] += side * half * p[3];
        return p;
    };
    const clip_point a0 = offset(a, 1);
    const clip_point a1 = offset(a, -1);
    const clip_point b0 = offset(b, 1);
    const clip_point b1 = offset(b, -1);
    for (const clip_point* p : {&a0, &a1, &b0, &b0, &a1, &b1}) {
        emit(out, *p, color);
    }
}

}  // namespace

void build_mesh(const draw_list_t& list, const view_matrices& view, uint32_t width, uint32_t height,
                float line_width, frame_mesh& mesh) {
    std::vector<matrix>& stack = mesh.matrix_stack;
    std::vector<mesh_corner>& primitive = mesh.primitive;
    stack.clear();
    primitive.clear();
    mesh.vertices.clear();
    mesh.clears = false;

    const line_style style{static_cast<double>(std::max(width, 1u)),
                           static_cast<double>(std::max(height, 1u)),
                           std::max(1.0, static_cast<double>(line_width)) / 2};
    const matrix projection = widen(view.projection);
    matrix model = widen(view.model_view);
    matrix combined = {};
    bool combined_stale = true;  // the model changed since `combined` was made
    float color[3] = {1, 1, 1};
    // The primitive between a begin and its end; none outside, where OpenGL ignores vertices.
    bool in_primitive = false;
    uint32_t mode = 0;  // a draw_primitive, or an unknown value that draws nothing

    for (const draw_command& c : list.commands) {
        if (!draw_command_is_whole(list, c)) {
            continue;
        }
        const uint32_t* w = list.words.data() + c.first_word;
        const auto f = [w](int i) { return static_cast<double>(draw_word_float(w[i])); };
        switch (static_cast<draw_code>(c.type)) {
            case draw_color:
                color[0] = draw_word_float(w[0]);
                color[1] = draw_word_float(w[1]);
                color[2] = draw_word_float(w[2]);
                break;
            case draw_push_matrix:
                stack.push_back(model);
                break;
            case draw_pop_matrix:
                if (!stack.empty()) {
                    model = stack.back();
                    stack.pop_back();
                    combined_stale = true;
                }
                break;
            case draw_rotate:
                model = multiply(model, rotation(f(0), f(1), f(2), f(3)));
                combined_stale = true;
                break;
            case draw_translate:
                model = multiply(model, translation(f(0), f(1), f(2)));
                combined_stale = true;
                break;
            case draw_scale:
                model = multiply(model, scaling(f(0), f(1), f(2)));
                combined_stale = true;
                break;
            case draw_begin:
                in_primitive = true;
                mode = w[0];
                primitive.clear();
                break;
            case draw_vertex:
                if (in_primitive) {
                    if (combined_stale) {
                        combined = multiply(projection, model);
                        combined_stale = false;
                    }
                    const double x = f(0);
                    const double y = f(1);
                    const matrix& m = combined;
                    mesh_corner& v = primitive.emplace_back();
                    for (int row = 0; row < 4; ++row) {
                        v.clip[row] = m[row] * x + m[4 + row] * y + m[12 + row];
                    }
                    std::copy(color, color + 3, v.color);
                }
                break;
            case draw_end:
                if (in_primitive && mode == draw_primitive_polygon) {
                    for (size_t v = 2; v < primitive.size(); ++v) {
                        for (size_t corner : {size_t{0}, v - 1, v}) {
                            emit(mesh.vertices, primitive[corner].clip, primitive[corner].color);
                        }
                    }
                } else if (in_primitive && mode == draw_primitive_lines) {
                    for (size_t v = 1; v < primitive.size(); v += 2) {
                        segment(mesh.vertices, primitive[v - 1].clip, primitive[v].clip,
                                primitive[v].color, style);
                    }
                }
                in_primitive = false;
                primitive.clear();
                break;
            case draw_clear:
                // What came before is painted over.
                if (w[0] & draw_clear_color) {
                    mesh.vertices.clear();
                    mesh.clears = true;
                }
                break;
            case draw_finish:
            case draw_code_count:
                break;
        }
    }
}

}  // namespace lumenweave::drawlist
