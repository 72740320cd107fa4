// The draw list: one frame's drawing as a sequence of commands, recorded by the figure and the
// frame driver and replayed into every window's context. Recording needs no graphics library.
#pragma once

#include <cstdint>
#include <vector>

#include "drawlist/commands.hpp"

namespace lumenweave::drawlist {

// One recorded command: its code (a draw_code) and its argument words, which live in the list's
// word pool.
struct draw_command {
    uint32_t type;
    uint32_t first_word;
    uint32_t word_count;
};

struct draw_list_t {
    std::vector<draw_command> commands;
    std::vector<uint32_t> words;  // float bit patterns, or integers where the code says so
};

// Each recorder appends its command to the list.
void record_color(draw_list_t& list, float red, float green, float blue);
void record_push_matrix(draw_list_t& list);
void record_rotate(draw_list_t& list, float angle, float x, float y, float z);
void record_translate(draw_list_t& list, float x, float y, float z);
void record_pop_matrix(draw_list_t& list);
void record_scale(draw_list_t& list, float x, float y, float z);
void record_begin(draw_list_t& list, draw_primitive mode);
void record_vertex(draw_list_t& list, float x, float y);
void record_end(draw_list_t& list);
void record_clear(draw_list_t& list, uint32_t mask);
void record_finish(draw_list_t& list);

// Empties the list; its storage stays allocated for the next frame.
void clear_draw_list(draw_list_t& list);

// Whether the list holds all that the command needs: a known code, and at least its code's words,
// all inside the pool. Replayers skip a command that is not whole and replay the rest.
bool draw_command_is_whole(const draw_list_t& list, const draw_command& command);
// A float argument word.
float draw_word_float(uint32_t word);

}  // namespace lumenweave::drawlist
