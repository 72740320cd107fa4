// The OpenGL the soak draws with: Mesa offscreen, or entry points that do nothing, so that the
// engine and the draw-list recording can run for millions of frames at their own cost.
#pragma once

// Makes a context of the given size current on this thread, if this build draws at all.
void startGl(int width, int height);
