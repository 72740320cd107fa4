// The windows' roles on the Linux program, X11 and Wayland alike: the master computes each frame
// and the mirrors replay it; their names in the log and in titles, and what a close of each ends.
#pragma once

#include "hosts/linux/session.hpp"

namespace lumenweave::linux_session {

// "master" or "mirror": how the frame log and the failure texts name a window.
constexpr const char* role_name(bool master) {
    return master ? "master" : "mirror";
}

// A window-mode window's title.
constexpr const char* window_title(bool master) {
    return master ? "Lumenweave" : "Lumenweave (mirror)";
}

// A close of a window (Escape, Q, the window manager's): the master's ends the run, a mirror's
// only that mirror. True when the caller is to remove the window, a mirror, itself.
inline bool close_window(session_t& session, bool master) {
    if (master) {
        session.quit = quit_reason::window_closed;
        return false;
    }
    return true;
}

}  // namespace lumenweave::linux_session
