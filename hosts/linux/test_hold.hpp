// The test build's hold on the animation, for both Linux hosts: tests compare windows that must
// show one frame, which a moving figure never allows. Called only under a host's frame-log
// switch, so the shipped program holds none of it.
#pragma once

#include <unistd.h>

#include <cstdlib>

namespace lumenweave_linux {

// Whether the file named by LUMENWEAVE_HOLD_FILE exists: while it does, a host shows its last
// frame again instead of drawing the next. Asked once a frame.
inline bool animation_held() {
    static const char* const path = std::getenv("LUMENWEAVE_HOLD_FILE");
    return path != nullptr && access(path, F_OK) == 0;
}

}  // namespace lumenweave_linux
