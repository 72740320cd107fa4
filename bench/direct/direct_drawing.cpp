// The recorders wrapped at link time (ld --wrap, options in bench/CMakeLists.txt): each wrapper
// either makes the recorder's GL call or hands on to the real recorder. The wrapped names are the
// recorders' mangled names, so the wrappers are declared extern "C" under those names.
#include "direct_drawing.hpp"

#include "replay/gl1/opengl.hpp"

bool directDrawing = false;

#define LUMENWEAVE_WRAP(mangled, params, args, call) \
    extern "C" void __real_##mangled params;         \
    extern "C" void __wrap_##mangled params {        \
        if (directDrawing) {                         \
            call;                                    \
        } else {                                     \
            __real_##mangled args;                   \
        }                                            \
    }

LUMENWEAVE_WRAP(_Z12record_colorR11draw_list_tfff, (draw_list_t & l, float r, float g, float b),
                (l, r, g, b), glColor3f(r, g, b))
LUMENWEAVE_WRAP(_Z18record_push_matrixR11draw_list_t, (draw_list_t & l), (l), glPushMatrix())
LUMENWEAVE_WRAP(_Z13record_rotateR11draw_list_tffff,
                (draw_list_t & l, float a, float x, float y, float z), (l, a, x, y, z),
                glRotatef(a, x, y, z))
LUMENWEAVE_WRAP(_Z16record_translateR11draw_list_tfff, (draw_list_t & l, float x, float y, float z),
                (l, x, y, z), glTranslatef(x, y, z))
LUMENWEAVE_WRAP(_Z17record_pop_matrixR11draw_list_t, (draw_list_t & l), (l), glPopMatrix())
LUMENWEAVE_WRAP(_Z12record_scaleR11draw_list_tfff, (draw_list_t & l, float x, float y, float z),
                (l, x, y, z), glScalef(x, y, z))
LUMENWEAVE_WRAP(_Z12record_beginR11draw_list_t14draw_primitive, (draw_list_t & l, draw_primitive m),
                (l, m), glBegin(m))
LUMENWEAVE_WRAP(_Z13record_vertexR11draw_list_tff, (draw_list_t & l, float x, float y), (l, x, y),
                glVertex2f(x, y))
LUMENWEAVE_WRAP(_Z10record_endR11draw_list_t, (draw_list_t & l), (l), glEnd())
LUMENWEAVE_WRAP(_Z12record_clearR11draw_list_tj, (draw_list_t & l, uint32_t mask), (l, mask),
                glClear(mask))
LUMENWEAVE_WRAP(_Z13record_finishR11draw_list_t, (draw_list_t & l), (l), glFinish())

bool directDrawingWorks() {
    draw_list_t list;
    directDrawing = true;
    record_push_matrix(list);
    record_pop_matrix(list);
    directDrawing = false;
    return list.commands.empty();
}
