// The draw list: the master window's OpenGL calls of one frame, recorded so that clone windows
// can replay them into their own contexts.
#pragma once

#include <cstdint>
#include <vector>

// One recorded call: its code and its argument words, which live in the list's word pool.
struct draw_command {
    uint32_t type;
    uint32_t firstWord;
    uint32_t wordCount;
};

struct draw_list_t {
    std::vector<draw_command> commands;
    std::vector<uint32_t> words;  // float bit patterns, or the raw enum/mask for codes 6 and 9
};

// Each recorder appends its call to the list.
void record_color(draw_list_t& list, float red, float green, float blue);
void record_push_matrix(draw_list_t& list);
void record_rotate(draw_list_t& list, float angle, float x, float y, float z);
void record_translate(draw_list_t& list, float x, float y, float z);
void record_pop_matrix(draw_list_t& list);
void record_scale(draw_list_t& list, float x, float y, float z);
void record_begin(draw_list_t& list, uint32_t mode);
void record_vertex(draw_list_t& list, float x, float y);
void record_end(draw_list_t& list);
void record_clear(draw_list_t& list, uint32_t mask);
void record_finish(draw_list_t& list);

// Empties the list; its storage stays allocated for the next frame.
void clear_draw_list(draw_list_t& list);
// Issues the recorded calls, in order, on the current GL context; codes above 10 are skipped.
void replay_draw_list(const draw_list_t& list);
