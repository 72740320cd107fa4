// Replaying a draw list into the current OpenGL context, and loading a window's view there.
#include "replay/gl1/replay.hpp"

#include "replay/gl1/opengl.hpp"
#include "drawlist/view.hpp"

namespace lumenweave {

static_assert(draw_primitive_lines == GL_LINES && draw_primitive_polygon == GL_POLYGON &&
                  draw_clear_color == GL_COLOR_BUFFER_BIT,
              "the draw list's integer words are OpenGL's own values");

void replay_draw_list(const draw_list_t& list) {
    for (const draw_command& c : list.commands) {
        if (!draw_command_is_whole(list, c)) {
            continue;
        }
        const uint32_t* w = list.words.data() + c.firstWord;
        const auto f = [w](int i) { return draw_word_float(w[i]); };
        switch (static_cast<draw_code>(c.type)) {
            case draw_color:
                glColor3f(f(0), f(1), f(2));
                break;
            case draw_push_matrix:
                glPushMatrix();
                break;
            case draw_rotate:
                glRotatef(f(0), f(1), f(2), f(3));
                break;
            case draw_translate:
                glTranslatef(f(0), f(1), f(2));
                break;
            case draw_pop_matrix:
                glPopMatrix();
                break;
            case draw_scale:
                glScalef(f(0), f(1), f(2));
                break;
            case draw_begin:
                glBegin(w[0]);
                break;
            case draw_vertex:
                glVertex2f(f(0), f(1));
                break;
            case draw_end:
                glEnd();
                break;
            case draw_clear:
                glClear(w[0]);
                break;
            case draw_finish:
                glFinish();
                break;
            case draw_code_count:
                break;
        }
    }
}

void setupView(uint32_t width, uint32_t height) {
    const view_matrices view = view_for(width, height);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(view.projection);
    // A new context holds the identity model-view already, and every frame leaves it so.
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace lumenweave
