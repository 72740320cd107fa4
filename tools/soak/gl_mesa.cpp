// Drawing into a small offscreen Mesa context, kept for the life of the process.
#include "gl.hpp"

#include <memory>

#include "offscreen.hpp"

using namespace lumenweave;

void startGl(int width, int height) {
    static std::unique_ptr<offscreen::OffscreenContext> context;
    context = std::make_unique<offscreen::OffscreenContext>(width, height);
}
