// The user's script in the Linux session: read whole and checked, with the checker's problems on
// standard error, at the start and again whenever it is saved while the program runs.
#pragma once

#include <string>

#include "hosts/linux/session.hpp"

namespace lumenweave::linux_session {

enum class script_state { sound, unreadable, has_problems };  // has_problems: has errors

struct script_reading_t {
    script_state state = script_state::sound;
    std::string text;    // sound: the script
    std::string detail;  // unreadable: the path and why it cannot be read
};

// Reads and checks the script at PATH; its problems go to standard error in the checker's lines.
// Only errors make it has_problems: a script with warnings alone is sound.
script_reading_t read_script(const char* path);

// Starts SESSION's engine on the user's script if it reads and checks clean, else (saying why)
// on the built-in one, and watches the script for changes.
void start_script(session_t& session);
// Reads the script again if it was saved since the last look: clean, it replaces the running one
// with a fresh engine of the same seed; otherwise its problems are reported and the running one
// goes on.
void follow_script(session_t& session);

}  // namespace lumenweave::linux_session
