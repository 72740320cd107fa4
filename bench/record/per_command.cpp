// The baseline draw list: one std::vector of argument words per recorded command, so every call
// with arguments allocates when recorded and frees when the list is cleared.
#include "per_command.hpp"

#include <cstring>
#include <initializer_list>

namespace lumenweave::bench {

std::vector<command> list;

namespace {

uint32_t wordOf(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

void append(uint32_t type, std::initializer_list<uint32_t> args) {
    list.push_back({type, std::vector<uint32_t>(args)});
}

}  // namespace

void clear() {
    list.clear();
}

void record_color(float red, float green, float blue) {
    append(0, {wordOf(red), wordOf(green), wordOf(blue)});
}
void record_push_matrix() {
    append(1, {});
}
void record_rotate(float angle, float x, float y, float z) {
    append(2, {wordOf(angle), wordOf(x), wordOf(y), wordOf(z)});
}
void record_translate(float x, float y, float z) {
    append(3, {wordOf(x), wordOf(y), wordOf(z)});
}
void record_pop_matrix() {
    append(4, {});
}
void record_scale(float x, float y, float z) {
    append(5, {wordOf(x), wordOf(y), wordOf(z)});
}
void record_begin(uint32_t mode) {
    append(6, {mode});
}
void record_vertex(float x, float y) {
    append(7, {wordOf(x), wordOf(y)});
}
void record_end() {
    append(8, {});
}
void record_clear(uint32_t mask) {
    append(9, {mask});
}
void record_finish() {
    append(10, {});
}

}  // namespace lumenweave::bench
