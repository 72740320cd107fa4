// The three build settings, fixed when the program is built (CMake options LUMENWEAVE_*).
// Nothing changes them at run time.
#pragma once

#ifndef LUMENWEAVE_TRACE
#define LUMENWEAVE_TRACE 0
#endif
#ifndef LUMENWEAVE_SCRIPT_SOURCE
#define LUMENWEAVE_SCRIPT_SOURCE 1
#endif
#ifndef LUMENWEAVE_ANIMATION
#define LUMENWEAVE_ANIMATION 1
#endif

namespace lumenweave::engine {

// On: the parser and the sequencer write trace lines to the log the host gives (the Windows
// program prints them on standard output).
constexpr bool traceSetting = LUMENWEAVE_TRACE != 0;
// On: the built-in script is parsed; off: the Windows program reads the script from standard
// input and starts the engine with it.
constexpr bool scriptSourceSetting = LUMENWEAVE_SCRIPT_SOURCE != 0;
// On: the script is parsed at start-up and the animation steps each frame.
constexpr bool animationSetting = LUMENWEAVE_ANIMATION != 0;

}  // namespace lumenweave::engine
