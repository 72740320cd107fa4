// The user's script as both Linux hosts take it: read and checked before the engine starts, with
// the problems on standard error and the built-in script in its place when it is not sound.
#pragma once

#include <optional>
#include <string>

namespace lumenweave_linux {

// The text of the script at PATH if it reads and checks clean; otherwise says why on standard
// error, in the checker's lines and one line of the program's, and gives nothing.
std::optional<std::string> sound_script(const char* path);

}  // namespace lumenweave_linux
