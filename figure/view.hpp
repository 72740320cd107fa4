// The viewport and projection of every window.
#pragma once

#include <cstdint>

// Fits the viewport to the client area, sets the perspective with the camera 4 units out on +Z,
// and leaves the model-view matrix current.
void setupView(uint32_t width, uint32_t height);
