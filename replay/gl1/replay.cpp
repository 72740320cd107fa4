// Replaying a draw list into the current OpenGL context, and loading a window's view there.
#include "replay/gl1/replay.hpp"

#include "replay/gl1/opengl.hpp"
#include "drawlist/view.hpp"

namespace lumenweave::replay {

static_assert(drawlist::draw_primitive_lines == GL_LINES &&
                  drawlist::draw_primitive_polygon == GL_POLYGON &&
                  drawlist::draw_clear_color == GL_COLOR_BUFFER_BIT,
              "the draw list's integer words are OpenGL's own values");

void replay_draw_list(const drawlist::draw_list_t& list) {
    for (const drawlist::draw_command& c : list.commands) {
        if (!draw_command_is_whole(list, c)) {
            continue;
        }
        const uint32_t* w = list.words.data() + c.first_word;
        const auto f = [w](int i) { return drawlist::draw_word_float(w[i]); };
        switch (static_cast<drawlist::draw_code>(c.type)) {
            case drawlist::draw_color:
                glColor3f(f(0), f(1), f(2));
                break;
            case drawlist::draw_push_matrix:
                glPushMatrix();
                break;
            case drawlist::draw_rotate:
                glRotatef(f(0), f(1), f(2), f(3));
                break;
            case drawlist::draw_translate:
                glTranslatef(f(0), f(1), f(2));
                break;
            case drawlist::draw_pop_matrix:
                glPopMatrix();
                break;
            case drawlist::draw_scale:
                glScalef(f(0), f(1), f(2));
                break;
            case drawlist::draw_begin:
                glBegin(w[0]);
                break;
            case drawlist::draw_vertex:
                glVertex2f(f(0), f(1));
                break;
            case drawlist::draw_end:
                glEnd();
                break;
            case drawlist::draw_clear:
                glClear(w[0]);
                break;
            case drawlist::draw_finish:
                glFinish();
                break;
            case drawlist::draw_code_count:
                break;
        }
    }
}

void setupView(uint32_t width, uint32_t height) {
    const drawlist::view_matrices view = drawlist::view_for(width, height);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(view.projection);
    // A new context holds the identity model-view already, and every frame leaves it so.
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace lumenweave::replay
