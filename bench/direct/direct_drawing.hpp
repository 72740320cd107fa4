// Direct drawing, the baseline of the frame benchmarks: the figure and the frame driver making
// each OpenGL call as they go, as frames were drawn before the draw list was the one way.
#pragma once

#include "drawlist/drawlist.hpp"

// While on, every recorder makes its GL call on the current context at once and records nothing,
// so recordFrame draws the frame directly. Off (the default): the recorders record.
extern bool directDrawing;

// Whether the recorders are in fact wrapped (a link without the wrapping would silently time
// recording twice): one recorder called with direct drawing on must leave the list empty.
bool directDrawingWorks();
