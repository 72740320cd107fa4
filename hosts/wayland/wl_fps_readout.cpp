// The --fps readout on Wayland, which has no server fonts: the figures drawn in the top-left
// corner in a small built-in font of square dots, for the characters the readout uses.
#include <GL/gl.h>

#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

// Three columns by five rows; bit 2 is the left column.
struct glyph_t {
    char character;
    unsigned char rows[5];
};

constexpr glyph_t glyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {'f', {3, 2, 7, 2, 2}},
    {'p', {7, 5, 7, 4, 4}}, {'s', {3, 4, 2, 1, 6}}, {'m', {0, 6, 7, 5, 5}},
};

constexpr int dot = 2;            // pixels per dot of the font
constexpr int advance = 4 * dot;  // pixels from one character to the next
constexpr int margin = 8;         // pixels from the left and top edges

const glyph_t* glyph_of(char character) {
    for (const glyph_t& glyph : glyphs) {
        if (glyph.character == character) {
            return &glyph;
        }
    }
    return nullptr;
}

}  // namespace

void draw_fps_readout(const linux::fps_count_t& count, uint32_t width, uint32_t height) {
    char text[64];
    const int length = linux::format_fps(count, text, sizeof text);
    // The next frame's setupView puts the figure's projection back.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int i = 0; i < length; ++i) {
        const glyph_t* glyph = glyph_of(text[i]);
        for (int row = 0; glyph != nullptr && row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if ((glyph->rows[row] >> (2 - column) & 1) == 0) {
                    continue;
                }
                const int x = margin + i * advance + column * dot;
                const int y = margin + row * dot;
                glVertex2i(x, y);
                glVertex2i(x + dot, y);
                glVertex2i(x + dot, y + dot);
                glVertex2i(x, y + dot);
            }
        }
    }
    glEnd();
    glPopMatrix();
}

}  // namespace lumenweave::wayland
