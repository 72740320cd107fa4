// One saver at a time on a display: a --saver run holds a lock named after its display for as
// long as it lives, which the kernel releases when the process ends however it ends.
#pragma once

#include <string>

#include "hosts/linux/options.hpp"

namespace lumenweave::linux {

// What tells one display from another for SYSTEM: on X11 the display in DISPLAY_VARIABLE without
// its screen (":0" and ":0.0" are one display); on Wayland the compositor's socket, whose name
// WAYLAND_DISPLAY gives relative to RUNTIME_DIR (XDG_RUNTIME_DIR), since another session's
// compositor can have the same name in its own folder. Any argument may be null (unset).
std::string saver_display_key(display_system system, const char* display_variable,
                              const char* runtime_dir);

// Holds the saver lock of one display while it lives.
class saver_lock {
  public:
    explicit saver_lock(const std::string& display_key);
    ~saver_lock();
    saver_lock(const saver_lock&) = delete;
    saver_lock& operator=(const saver_lock&) = delete;
    // Whether another process (or another lock here) holds the display's lock. A lock that cannot
    // be made for any other reason is not held and not refused: the saver runs, unguarded.
    bool held_elsewhere() const { return held_elsewhere_; }

  private:
    int socket_ = -1;  // an abstract unix socket bound to the lock's name; -1 when not held
    bool held_elsewhere_ = false;
};

}  // namespace lumenweave::linux
