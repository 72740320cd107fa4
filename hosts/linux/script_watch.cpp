// Live editing of the user's script: inotify on the folder that holds it, since editors save by
// writing a new file and renaming it over the old one, which a watch on the file would lose.
#include "hosts/linux/script_watch.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hosts/linux/failure.hpp"

namespace lumenweave::linux {

void start_script_watch(script_watch_t& watch, const char* path) {
    const char* slash = std::strrchr(path, '/');
    const std::string folder = slash == nullptr ? "."
                               : slash == path  ? "/"
                                                : std::string(path, slash);
    watch.name = slash == nullptr ? path : slash + 1;
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // A write ends with its close; a rename brings a whole file at once. Either is a new version.
    if (fd < 0 || inotify_add_watch(fd, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        const std::string detail = folder + ": " + std::strerror(errno);
        report_failure(failure_kind::script_unwatched, detail.c_str());
        if (fd >= 0) {
            close(fd);
        }
        return;
    }
    watch.fd = fd;
}

bool script_changed(script_watch_t& watch) {
    if (watch.fd < 0) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char events[4096];
    ssize_t got = 0;
    while ((got = read(watch.fd, events, sizeof events)) > 0) {
        for (const char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            // Events lost to a full queue may have named the script.
            if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                (event->len > 0 && watch.name == event->name)) {
                changed = true;
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    return changed;
}

void stop_script_watch(script_watch_t& watch) {
    if (watch.fd >= 0) {
        close(watch.fd);
        watch.fd = -1;
    }
}

}  // namespace lumenweave::linux
