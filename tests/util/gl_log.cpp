// Logging definitions of the GL calls the core makes; they take precedence over the shared
// libraries.
#include "util/util.hpp"

#include <ostream>
#include <sstream>

#include "replay/gl1/opengl.hpp"

using namespace lumenweave;

std::vector<GlCall> glLog;

std::string toString(const GlCall& call) {
    std::ostringstream s;
    s.precision(9);
    s << call.name << "(";
    for (size_t i = 0; i < call.args.size(); ++i)
        s << (i ? ", " : "") << call.args[i];
    s << ")";
    return s.str();
}

void PrintTo(const GlCall& call, std::ostream* os) {
    *os << toString(call);
}

namespace {
void log(const char* name, std::vector<double> args = {}) {
    glLog.push_back({name, std::move(args)});
}
}  // namespace

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    log("glColor3f", {r, g, b});
}
void GLAPIENTRY glPushMatrix() {
    log("glPushMatrix");
}
void GLAPIENTRY glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    log("glRotatef", {a, x, y, z});
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    log("glTranslatef", {x, y, z});
}
void GLAPIENTRY glPopMatrix() {
    log("glPopMatrix");
}
void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) {
    log("glScalef", {x, y, z});
}
void GLAPIENTRY glBegin(GLenum mode) {
    log("glBegin", {static_cast<double>(mode)});
}
void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) {
    log("glVertex2f", {x, y});
}
void GLAPIENTRY glEnd() {
    log("glEnd");
}
void GLAPIENTRY glClear(GLbitfield mask) {
    log("glClear", {static_cast<double>(mask)});
}
void GLAPIENTRY glFinish() {
    log("glFinish");
}
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    log("glViewport", {double(x), double(y), double(w), double(h)});
}
void GLAPIENTRY glMatrixMode(GLenum mode) {
    log("glMatrixMode", {static_cast<double>(mode)});
}
void GLAPIENTRY glLoadMatrixf(const GLfloat* m) {
    log("glLoadMatrixf", std::vector<double>(m, m + 16));
}
