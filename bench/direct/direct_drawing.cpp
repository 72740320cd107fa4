// The recorders wrapped at link time (ld --wrap, options in bench/CMakeLists.txt): each wrapper
// either makes the recorder's GL call or hands on to the real recorder. The wrapped names are the
// recorders' mangled names, so the wrappers are declared extern "C" under those names.
#include "direct_drawing.hpp"

#include "replay/gl1/opengl.hpp"

using namespace lumenweave;

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

LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist12record_colorERNS0_11draw_list_tEfff,
                (drawlist::draw_list_t & l, float r, float g, float b), (l, r, g, b),
                glColor3f(r, g, b))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist18record_push_matrixERNS0_11draw_list_tE,
                (drawlist::draw_list_t & l), (l), glPushMatrix())
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist13record_rotateERNS0_11draw_list_tEffff,
                (drawlist::draw_list_t & l, float a, float x, float y, float z), (l, a, x, y, z),
                glRotatef(a, x, y, z))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist16record_translateERNS0_11draw_list_tEfff,
                (drawlist::draw_list_t & l, float x, float y, float z), (l, x, y, z),
                glTranslatef(x, y, z))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist17record_pop_matrixERNS0_11draw_list_tE,
                (drawlist::draw_list_t & l), (l), glPopMatrix())
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist12record_scaleERNS0_11draw_list_tEfff,
                (drawlist::draw_list_t & l, float x, float y, float z), (l, x, y, z),
                glScalef(x, y, z))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist12record_beginERNS0_11draw_list_tENS0_14draw_primitiveE,
                (drawlist::draw_list_t & l, drawlist::draw_primitive m), (l, m), glBegin(m))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist13record_vertexERNS0_11draw_list_tEff,
                (drawlist::draw_list_t & l, float x, float y), (l, x, y), glVertex2f(x, y))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist10record_endERNS0_11draw_list_tE,
                (drawlist::draw_list_t & l), (l), glEnd())
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist12record_clearERNS0_11draw_list_tEj,
                (drawlist::draw_list_t & l, uint32_t mask), (l, mask), glClear(mask))
LUMENWEAVE_WRAP(_ZN10lumenweave8drawlist13record_finishERNS0_11draw_list_tE,
                (drawlist::draw_list_t & l), (l), glFinish())

bool directDrawingWorks() {
    drawlist::draw_list_t list;
    directDrawing = true;
    record_push_matrix(list);
    record_pop_matrix(list);
    directDrawing = false;
    return list.commands.empty();
}
