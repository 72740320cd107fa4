// Recording one frame's OpenGL calls into a draw list, and replaying them into whichever context
// is current.
#include "drawlist/drawlist.hpp"

#include <cstring>

#include "drawlist/opengl.hpp"

namespace {

enum : uint32_t {
    codeColor,
    codePushMatrix,
    codeRotate,
    codeTranslate,
    codePopMatrix,
    codeScale,
    codeBegin,
    codeVertex,
    codeEnd,
    codeClear,
    codeFinish,
    codeCount
};

// Argument words each code's call takes.
constexpr uint32_t wordsNeeded[codeCount] = {3, 0, 4, 3, 0, 3, 1, 2, 0, 1, 0};

uint32_t wordOf(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

float floatOf(uint32_t w) {
    float f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}

// The command is filled in place, field by field: a command built on the stack and copied in is
// read back as one wide word from narrower stores, a stall that made recording several times
// slower.
template <typename... Words>
void append(draw_list_t& list, uint32_t type, Words... args) {
    std::vector<uint32_t>& words = list.words;
    draw_command& c = list.commands.emplace_back();
    c.type = type;
    c.firstWord = static_cast<uint32_t>(words.size());
    c.wordCount = sizeof...(args);
    (words.push_back(args), ...);
}

}  // namespace

void record_color(draw_list_t& list, float red, float green, float blue) {
    append(list, codeColor, wordOf(red), wordOf(green), wordOf(blue));
}
void record_push_matrix(draw_list_t& list) {
    append(list, codePushMatrix);
}
void record_rotate(draw_list_t& list, float angle, float x, float y, float z) {
    append(list, codeRotate, wordOf(angle), wordOf(x), wordOf(y), wordOf(z));
}
void record_translate(draw_list_t& list, float x, float y, float z) {
    append(list, codeTranslate, wordOf(x), wordOf(y), wordOf(z));
}
void record_pop_matrix(draw_list_t& list) {
    append(list, codePopMatrix);
}
void record_scale(draw_list_t& list, float x, float y, float z) {
    append(list, codeScale, wordOf(x), wordOf(y), wordOf(z));
}
void record_begin(draw_list_t& list, uint32_t mode) {
    append(list, codeBegin, mode);
}
void record_vertex(draw_list_t& list, float x, float y) {
    append(list, codeVertex, wordOf(x), wordOf(y));
}
void record_end(draw_list_t& list) {
    append(list, codeEnd);
}
void record_clear(draw_list_t& list, uint32_t mask) {
    append(list, codeClear, mask);
}
void record_finish(draw_list_t& list) {
    append(list, codeFinish);
}

void clear_draw_list(draw_list_t& list) {
    list.commands.clear();
    list.words.clear();
}

void replay_draw_list(const draw_list_t& list) {
    const std::vector<uint32_t>& words = list.words;
    for (const draw_command& c : list.commands) {
        // A command that is unknown, claims words outside the pool or has too few for its call
        // is skipped whole; the rest of the list still replays.
        if (c.type >= codeCount || c.wordCount < wordsNeeded[c.type] ||
            c.firstWord > words.size() || c.wordCount > words.size() - c.firstWord) {
            continue;
        }
        const uint32_t* w = words.data() + c.firstWord;
        switch (c.type) {
            case codeColor:
                glColor3f(floatOf(w[0]), floatOf(w[1]), floatOf(w[2]));
                break;
            case codePushMatrix:
                glPushMatrix();
                break;
            case codeRotate:
                glRotatef(floatOf(w[0]), floatOf(w[1]), floatOf(w[2]), floatOf(w[3]));
                break;
            case codeTranslate:
                glTranslatef(floatOf(w[0]), floatOf(w[1]), floatOf(w[2]));
                break;
            case codePopMatrix:
                glPopMatrix();
                break;
            case codeScale:
                glScalef(floatOf(w[0]), floatOf(w[1]), floatOf(w[2]));
                break;
            case codeBegin:
                glBegin(w[0]);
                break;
            case codeVertex:
                glVertex2f(floatOf(w[0]), floatOf(w[1]));
                break;
            case codeEnd:
                glEnd();
                break;
            case codeClear:
                glClear(w[0]);
                break;
            case codeFinish:
                glFinish();
                break;
        }
    }
}
