// Fuzz target: arbitrary command arrays put straight into the draw list and replayed into a small
// offscreen Mesa context, as a clone window would replay them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/opengl.hpp"
#include "replay/gl1/replay.hpp"
#include "offscreen.hpp"

using namespace lumenweave;

namespace {

// Undoes whatever a replay left behind, so that inputs do not affect one another: an unfinished
// glBegin, pushed matrices, pending errors.
void resetContext() {
    glEnd();
    GLint depth = 1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    for (; depth > 1; --depth) {
        glPopMatrix();
    }
    glLoadIdentity();
    while (glGetError() != GL_NO_ERROR) {
    }
}

}  // namespace

// Input: a 16-bit command count, that many commands of three 32-bit fields (type, first word,
// word count), then the argument words; a short input simply gives fewer commands or words.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static offscreen::OffscreenContext context(16, 16);
    if (size < 2) {
        return 0;
    }
    uint16_t count;
    std::memcpy(&count, data, sizeof count);
    data += 2;
    size -= 2;
    static drawlist::draw_list_t list;
    clear_draw_list(list);
    for (; count > 0 && size >= sizeof(drawlist::draw_command); --count) {
        drawlist::draw_command c;
        std::memcpy(&c, data, sizeof c);
        list.commands.push_back(c);
        data += sizeof c;
        size -= sizeof c;
    }
    list.words.resize(size / sizeof(uint32_t));
    if (!list.words.empty()) {
        std::memcpy(list.words.data(), data, list.words.size() * sizeof(uint32_t));
    }
    replay::replay_draw_list(list);
    resetContext();
    glFinish();
    return 0;
}
