// What every host's application window shares: the size it opens at, which its clone
// windows open with too.
#pragma once

namespace lumenweave::frame {

constexpr int application_width = 640;   // pixels
constexpr int application_height = 480;  // pixels

}  // namespace lumenweave::frame
