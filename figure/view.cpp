// The viewport and projection every window sets up for its own client area.
#include "figure/view.hpp"

#include "drawlist/opengl.hpp"

void setupView(uint32_t width, uint32_t height) {
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // An empty client area (a minimised window reports 0 x 0) would give an aspect of 0, infinity
    // or NaN and a projection that maps nothing; an empty side counts as one pixel instead, so
    // the matrix stays finite until the next resize brings the real size.
    const float w = static_cast<float>(static_cast<double>(width == 0 ? 1 : width));
    const float h = static_cast<float>(static_cast<double>(height == 0 ? 1 : height));
    const float aspect = w / h;
    // A field of view of 300 degrees gives the focal factor cot(150) = -sqrt(3): the 60-degree
    // projection turned by a half turn about the line of sight.
    gluPerspective(300.0, static_cast<double>(aspect), 0.01, 10000.0);
    glTranslatef(0.0f, 0.0f, -4.0f);
    glMatrixMode(GL_MODELVIEW);
}
