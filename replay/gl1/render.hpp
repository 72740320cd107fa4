// One frame drawn on the current OpenGL context: recorded, then replayed. For the windows that
// compute the frame they show; the others replay the list this fills.
#pragma once

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"

namespace lumenweave::replay {

// recordFrame into `record` (or, when it is nullptr, into a list of the calling thread's own),
// then replay_draw_list of that list on the current context.
void renderFrame(frame::Engine& engine, drawlist::draw_list_t* record);

}  // namespace lumenweave::replay
