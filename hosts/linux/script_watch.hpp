// Live editing of the user's script, on X11 and on Wayland: a watch on the folder that holds it.
#pragma once

#include <string>

namespace lumenweave::linux {

struct script_watch_t {
    int fd = -1;       // inotify descriptor on the script's folder; -1: none
    std::string name;  // the script's file name within that folder
};

// Watches the folder of the script at PATH; reports why not when it cannot.
void start_script_watch(script_watch_t& watch, const char* path);
// Whether the script was written or replaced since the last call; never waits.
bool script_changed(script_watch_t& watch);
void stop_script_watch(script_watch_t& watch);

}  // namespace lumenweave::linux
