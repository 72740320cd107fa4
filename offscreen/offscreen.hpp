// An offscreen OpenGL context in Mesa (EGL, surfaceless platform, a pbuffer to draw into), for
// the tests and tools that draw the figure without a window.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <vector>

namespace lumenweave::offscreen {

// A compatibility-profile context, so that immediate mode works, with its own pbuffer.
struct OffscreenContext {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    int width = 0;
    int height = 0;

    OffscreenContext(int width, int height);  // throws std::runtime_error when EGL refuses
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Makes this context and its pbuffer current on the calling thread.
    void makeCurrent() const;
    // The pbuffer's pixels as RGB bytes, top row first.
    std::vector<uint8_t> readPixels() const;
};

}  // namespace lumenweave::offscreen
