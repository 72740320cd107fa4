// The plain design of a draw list, kept as a baseline for the recording benchmark only: each
// command owns a heap-allocated array of its argument words.
#pragma once

#include <cstdint>
#include <vector>

namespace lumenweave::bench {

struct command {
    uint32_t type;
    std::vector<uint32_t> arguments;
};

extern std::vector<command> list;

// Frees every command's arguments; the list's own storage stays for the next frame.
void clear();

void record_color(float red, float green, float blue);
void record_push_matrix();
void record_rotate(float angle, float x, float y, float z);
void record_translate(float x, float y, float z);
void record_pop_matrix();
void record_scale(float x, float y, float z);
void record_begin(uint32_t mode);
void record_vertex(float x, float y);
void record_end();
void record_clear(uint32_t mask);
void record_finish();

}  // namespace lumenweave::bench
