// The user's scripts in the Linux session: read whole and checked, with the checker's problems on
// standard error; one file followed whenever it is saved while the program runs, or several
// scripts (files, a folder, share links) taking turns.
#pragma once

#include <string>

#include "hosts/linux/session_state.hpp"

namespace lumenweave::linux {

enum class script_state { sound, unreadable, has_problems };  // has_problems: has errors

struct script_reading_t {
    script_state state = script_state::sound;
    std::string text;    // sound: the script
    std::string detail;  // unreadable: the path and why it cannot be read
};

// Reads and checks the script at PATH; its problems go to standard error in the checker's lines.
// Only errors make it has_problems: a script with warnings alone is sound.
script_reading_t read_script(const char* path);

// Reads the scripts the command line names into SESSION's rotation, before any display opens.
// One file (--script FILE) is followed: if it cannot run, the built-in script runs until it is
// saved sound. Of several, or a folder or a link, each is read and checked once, here: one with
// problems is reported and left out. False, after one line on standard error (and a script's
// problems before it), for what ends the run as a usage error does: a link that is none of the
// playground's, damaged or empty, a link alone whose script has problems, an empty folder, a list
// with no script that can run.
bool read_scripts(session_t& session);

// Starts SESSION's engine on the rotation's first script, or the built-in one if there is none.
void start_script(session_t& session);
// The rotation's next turn: the next script (or the same one, or the built-in one, alone) starts
// afresh, on a fresh engine with its seed, as if the program had just started on it.
void start_next_script(session_t& session);
// Reads the followed script again if it was saved since the last look: clean, it replaces the
// running one with a fresh engine of the same seed; otherwise its problems are reported and the
// running one goes on.
void follow_script(session_t& session);

}  // namespace lumenweave::linux
