// The user's script as both Linux hosts read it: read whole and checked, with the checker's
// problems on standard error; each host says in its own words what runs instead.
#pragma once

#include <string>

namespace lumenweave_linux {

enum class script_state { sound, unreadable, has_problems };  // has_problems: has errors

struct script_reading_t {
    script_state state = script_state::sound;
    std::string text;    // sound: the script
    std::string detail;  // unreadable: the path and why it cannot be read
};

// Reads and checks the script at PATH; its problems go to standard error in the checker's lines.
// Only errors make it has_problems: a script with warnings alone is sound.
script_reading_t read_script(const char* path);

}  // namespace lumenweave_linux
