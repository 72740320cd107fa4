// The windows' roles on the Linux program, X11 and Wayland alike: the master computes each frame
// and the clones replay it; their names in the log and in titles, and what a close of each ends.
#pragma once

#include <cstddef>

#include "hosts/linux/enum_table.hpp"
#include "hosts/linux/session_state.hpp"

namespace lumenweave::linux {

enum class window_role { master, clone };

struct window_role_entry_t {
    window_role kind;
    const char* name;   // in the test log
    const char* title;  // a window-mode window's title
};

// In the order of window_role, so that a role indexes its entry.
constexpr window_role_entry_t window_roles[] = {
    {window_role::master, "master", "Lumenweave"},
    {window_role::clone, "clone", "Lumenweave (clone)"},
};
static_assert(table_covers(window_roles, window_role::clone), "every role has its entry, in order");

constexpr const window_role_entry_t& role_entry(bool master) {
    return window_roles[static_cast<std::size_t>(master ? window_role::master
                                                        : window_role::clone)];
}

// How the test log names a window.
constexpr const char* role_name(bool master) {
    return role_entry(master).name;
}

// A window-mode window's title.
constexpr const char* window_title(bool master) {
    return role_entry(master).title;
}

// A close of a window (Escape, Q, the window manager's): the master's ends the run, a clone's
// only that clone. True when the caller is to remove the window, a clone, itself.
inline bool close_window(session_t& session, bool master) {
    if (master) {
        session.quit = quit_reason::window_closed;
        return false;
    }
    return true;
}

}  // namespace lumenweave::linux
