// The OpenGL 1.x replayer: a draw list's commands and a window's view, issued on whichever
// context is current. Apart from the hosts, the one place that calls OpenGL.
#pragma once

#include <cstdint>

#include "drawlist/drawlist.hpp"

namespace lumenweave::replay {

// Issues the recorded commands, in order; a command that is not whole (draw_command_is_whole)
// is skipped and the rest still replay.
void replay_draw_list(const drawlist::draw_list_t& list);
// Fits the viewport to the client area, loads the view's projection (view_for) and leaves the
// model-view matrix current.
void setupView(uint32_t width, uint32_t height);

}  // namespace lumenweave::replay
