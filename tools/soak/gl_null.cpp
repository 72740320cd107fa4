// Entry points for every GL call the core makes, doing nothing; they take precedence over
// the shared libraries.
#include "replay/gl1/opengl.hpp"
#include "gl.hpp"

void startGl(int, int) {}

void GLAPIENTRY glClear(GLbitfield) {}
void GLAPIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glPushMatrix() {}
void GLAPIENTRY glPopMatrix() {}
void GLAPIENTRY glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glTranslatef(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glScalef(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glBegin(GLenum) {}
void GLAPIENTRY glVertex2f(GLfloat, GLfloat) {}
void GLAPIENTRY glEnd() {}
void GLAPIENTRY glFinish() {}
void GLAPIENTRY glViewport(GLint, GLint, GLsizei, GLsizei) {}
void GLAPIENTRY glMatrixMode(GLenum) {}
void GLAPIENTRY glLoadMatrixf(const GLfloat*) {}
