// The user's script as both Linux hosts read it: read whole and checked, with the checker's
// problems on standard error; each host says in its own words what runs instead.
#pragma once

#include <string>

namespace lumenweave_linux {

enum class script_state { sound, unreadable, has_problems };

struct script_reading_t {
    script_state state = script_state::sound;
    std::string text;    // sound: the script
    std::string detail;  // unreadable: the path and why it cannot be read
};

// Reads and checks the script at PATH; its problems go to standard error in the checker's lines.
script_reading_t read_script(const char* path);

}  // namespace lumenweave_linux
