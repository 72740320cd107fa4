// Recording one frame's drawing into a draw list, and reading a recorded command back.
#include "drawlist/drawlist.hpp"

#include <cstring>

namespace lumenweave::drawlist {

namespace {

uint32_t word_of(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

// The command is filled in place, field by field: a command built on the stack and copied in is
// read back as one wide word from narrower stores, a stall that made recording several times
// slower.
template <typename... Words>
void append(draw_list_t& list, draw_code type, Words... args) {
    std::vector<uint32_t>& words = list.words;
    draw_command& c = list.commands.emplace_back();
    c.type = type;
    c.first_word = static_cast<uint32_t>(words.size());
    c.word_count = sizeof...(args);
    (words.push_back(args), ...);
}

}  // namespace

void record_color(draw_list_t& list, float red, float green, float blue) {
    append(list, draw_color, word_of(red), word_of(green), word_of(blue));
}
void record_push_matrix(draw_list_t& list) {
    append(list, draw_push_matrix);
}
void record_rotate(draw_list_t& list, float angle, float x, float y, float z) {
    append(list, draw_rotate, word_of(angle), word_of(x), word_of(y), word_of(z));
}
void record_translate(draw_list_t& list, float x, float y, float z) {
    append(list, draw_translate, word_of(x), word_of(y), word_of(z));
}
void record_pop_matrix(draw_list_t& list) {
    append(list, draw_pop_matrix);
}
void record_scale(draw_list_t& list, float x, float y, float z) {
    append(list, draw_scale, word_of(x), word_of(y), word_of(z));
}
void record_begin(draw_list_t& list, draw_primitive mode) {
    append(list, draw_begin, static_cast<uint32_t>(mode));
}
void record_vertex(draw_list_t& list, float x, float y) {
    append(list, draw_vertex, word_of(x), word_of(y));
}
void record_end(draw_list_t& list) {
    append(list, draw_end);
}
void record_clear(draw_list_t& list, uint32_t mask) {
    append(list, draw_clear, mask);
}
void record_finish(draw_list_t& list) {
    append(list, draw_finish);
}

void clear_draw_list(draw_list_t& list) {
    list.commands.clear();
    list.words.clear();
}

bool draw_command_is_whole(const draw_list_t& list, const draw_command& c) {
    const size_t pool = list.words.size();
    return c.type < draw_code_count && c.word_count >= draw_code_words[c.type] &&
           c.first_word <= pool && c.word_count <= pool - c.first_word;
}

float draw_word_float(uint32_t word) {
    float f;
    std::memcpy(&f, &word, sizeof f);
    return f;
}

}  // namespace lumenweave::drawlist
