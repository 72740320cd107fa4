// Offscreen GL through EGL's surfaceless Mesa platform with pbuffers.
#include "offscreen.hpp"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace lumenweave::offscreen {

namespace {

[[noreturn]] void fail(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
    throw std::runtime_error(std::string("offscreen OpenGL: ") + what + " failed (EGL error " +
                             code + ")");
}

// One display for the whole process; it stays initialised until exit.
EGLDisplay sharedDisplay() {
    static EGLDisplay display = [] {
        auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getDisplay == nullptr)
            fail("eglGetPlatformDisplayEXT");
        EGLDisplay d = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d == EGL_NO_DISPLAY || !eglInitialize(d, nullptr, nullptr))
            fail("eglInitialize");
        return d;
    }();
    return display;
}

}  // namespace

OffscreenContext::OffscreenContext(int w, int h) : width(w), height(h) {
    if (w <= 0 || h <= 0)
        throw std::runtime_error("offscreen OpenGL: empty size");
    display = sharedDisplay();
    const EGLint configAttribs[] = {
        EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,  EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1) {
        fail("eglChooseConfig");
    }
    if (!eglBindAPI(EGL_OPENGL_API))
        fail("eglBindAPI");
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
    if (context == EGL_NO_CONTEXT)
        fail("eglCreateContext");
    const EGLint surfaceAttribs[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
    if (surface == EGL_NO_SURFACE) {
        eglDestroyContext(display, context);
        fail("eglCreatePbufferSurface");
    }
    makeCurrent();
}

OffscreenContext::~OffscreenContext() {
    if (eglGetCurrentContext() == context) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroySurface(display, surface);
    eglDestroyContext(display, context);
}

void OffscreenContext::makeCurrent() const {
    if (!eglMakeCurrent(display, surface, surface, context))
        fail("eglMakeCurrent");
}

std::vector<uint8_t> OffscreenContext::readPixels() const {
    makeCurrent();
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> bottomUp(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y) {
        std::memcpy(&topDown[row * static_cast<size_t>(y)],
                    &bottomUp[row * static_cast<size_t>(height - 1 - y)], row);
    }
    return topDown;
}

}  // namespace lumenweave::offscreen
