// The --fps readout on X11: frames presented in the last second and their mean drawing time, in the
// top-left corner, with the server's "fixed" bitmap font through glXUseXFont.
#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

constexpr int first_character = 32;
constexpr int character_count = 96;
constexpr GLint left_margin = 8;         // pixels
constexpr GLint baseline_from_top = 18;  // pixels

}  // namespace

void init_fps_readout(host_t& host) {
    fps_readout_t& readout = host.readout;
    readout.enabled = true;
    XFontStruct* font = XLoadQueryFont(host.display, "fixed");
    if (font == nullptr) {
        report_failure(failure_kind::no_fixed_font);
        readout.enabled = false;
        return;
    }
    readout.list_base = glGenLists(character_count);
    glXUseXFont(font->fid, first_character, character_count, static_cast<int>(readout.list_base));
    readout.advance = font->max_bounds.width;
    XFreeFont(host.display, font);
}

void draw_fps_readout(const fps_readout_t& readout, const linux::fps_count_t& count, uint32_t width,
                      uint32_t height) {
    if (!readout.enabled) {
        return;
    }
    char text[64];
    const int length = linux::format_fps(count, text, sizeof text);
    // The next frame's setupView puts the figure's projection back.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glListBase(readout.list_base - first_character);
    // Each group of glyphs is placed at its column: Mesa's lists of glyphs without ink (the
    // space) do not move the raster position when called together, so the spaces would vanish.
    const GLint baseline = static_cast<GLint>(height) - baseline_from_top;
    for (int start = 0; start < length;) {
        int end = start;
        while (end < length && text[end] != ' ') {
            ++end;
        }
        if (end > start) {
            glRasterPos2i(left_margin + start * readout.advance, baseline);
            glCallLists(end - start, GL_UNSIGNED_BYTE, text + start);
        }
        start = end + 1;
    }
    glPopMatrix();
}

}  // namespace lumenweave::x11
