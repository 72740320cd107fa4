// The draw list's command codes and the argument words each one carries: the contract between
// the recorders and every replayer (the OpenGL replay, the render tool's dump, the mesh).
#pragma once

#include <cstdint>

namespace lumenweave::drawlist {

// A command's code, in draw_command::type. Its argument words follow in the list's word pool;
// floats are stored as their bit patterns.
enum draw_code : uint32_t {
    draw_color,        // red, green, blue: floats 0..1
    draw_push_matrix,  // no words
    draw_rotate,       // angle (degrees), then the axis x, y, z: floats
    draw_translate,    // x, y, z: floats
    draw_pop_matrix,   // no words
    draw_scale,        // x, y, z: floats
    draw_begin,        // the primitive: one integer word, a draw_primitive
    draw_vertex,       // x, y: floats
    draw_end,          // no words
    draw_clear,        // the buffers: one integer word, draw_clear_color
    draw_finish,       // no words
    draw_code_count
};

// Argument words each code carries, indexed by code.
constexpr uint32_t draw_code_words[draw_code_count] = {3, 0, 4, 3, 0, 3, 1, 2, 0, 1, 0};

// Whether a code's words are integers rather than float bit patterns.
constexpr bool draw_code_has_integer_words(uint32_t code) {
    return code == draw_begin || code == draw_clear;
}

// The integer words take OpenGL's own values, so that an OpenGL replay passes them through
// unchanged and a list dumped today reads as it always did.
enum draw_primitive : uint32_t {
    draw_primitive_lines = 0x0001,    // pairs of vertices, each pair one segment
    draw_primitive_polygon = 0x0009,  // one convex polygon through all vertices
};
constexpr uint32_t draw_clear_color = 0x4000;  // the colour buffer

}  // namespace lumenweave::drawlist
