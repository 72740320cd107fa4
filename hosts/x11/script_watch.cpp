// Live editing of the user's script: inotify on the folder that holds it, since editors save by
// writing a new file and renaming it over the old one, which a watch on the file would lose.
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {

void start_script_watch(host_t& host) {
    const char* path = host.options.script_path;
    const char* slash = std::strrchr(path, '/');
    const std::string folder = slash == nullptr ? "."
                               : slash == path  ? "/"
                                                : std::string(path, slash);
    host.script_name = slash == nullptr ? path : slash + 1;
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // A write ends with its close; a rename brings a whole file at once. Either is a new version.
    if (watch < 0 || inotify_add_watch(watch, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        const std::string detail = folder + ": " + std::strerror(errno);
        report_failure(failure_kind::script_unwatched, detail.c_str());
        if (watch >= 0) {
            close(watch);
        }
        return;
    }
    host.script_watch = watch;
}

bool script_changed(host_t& host) {
    if (host.script_watch < 0) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char events[4096];
    ssize_t got = 0;
    while ((got = read(host.script_watch, events, sizeof events)) > 0) {
        for (const char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            // Events lost to a full queue may have named the script.
            if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                (event->len > 0 && std::strcmp(event->name, host.script_name) == 0)) {
                changed = true;
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    return changed;
}

void stop_script_watch(host_t& host) {
    if (host.script_watch >= 0) {
        close(host.script_watch);
        host.script_watch = -1;
    }
}

}  // namespace lumenweave_x11
