// A frame recorded and replayed on the current context: the window draws exactly what it hands
// to the clone windows that replay it.
#include "replay/gl1/render.hpp"

#include "replay/gl1/replay.hpp"

namespace lumenweave::replay {

void renderFrame(frame::Engine& engine, drawlist::draw_list_t* record) {
    // Kept from frame to frame so that its storage is reused.
    thread_local drawlist::draw_list_t own;
    drawlist::draw_list_t& list = record ? *record : own;
    recordFrame(engine, list);
    replay_draw_list(list);
}

}  // namespace lumenweave::replay
