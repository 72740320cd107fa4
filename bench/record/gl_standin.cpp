// Definitions of the GL calls a frame makes; linked into the benchmark, they take precedence over
// the shared GL library, so a frame runs the real renderer without drawing anything.
#include "gl_standin.hpp"

#include "replay/gl1/opengl.hpp"
#include "per_command.hpp"

using namespace lumenweave;

bool feedBaseline = false;

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    if (feedBaseline)
        bench::record_color(r, g, b);
}
void GLAPIENTRY glPushMatrix() {
    if (feedBaseline)
        bench::record_push_matrix();
}
void GLAPIENTRY glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    if (feedBaseline)
        bench::record_rotate(a, x, y, z);
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (feedBaseline)
        bench::record_translate(x, y, z);
}
void GLAPIENTRY glPopMatrix() {
    if (feedBaseline)
        bench::record_pop_matrix();
}
void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) {
    if (feedBaseline)
        bench::record_scale(x, y, z);
}
void GLAPIENTRY glBegin(GLenum mode) {
    if (feedBaseline)
        bench::record_begin(mode);
}
void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) {
    if (feedBaseline)
        bench::record_vertex(x, y);
}
void GLAPIENTRY glEnd() {
    if (feedBaseline)
        bench::record_end();
}
void GLAPIENTRY glClear(GLbitfield mask) {
    if (feedBaseline)
        bench::record_clear(mask);
}
void GLAPIENTRY glFinish() {
    if (feedBaseline)
        bench::record_finish();
}
