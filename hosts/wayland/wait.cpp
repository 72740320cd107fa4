// Waiting for the compositor: its events, a deadline, or a stop signal (hosts/linux/clock.hpp),
// whichever comes first.
#include <poll.h>

#include <cerrno>
#include <ctime>

#include "hosts/wayland/host.hpp"

namespace lumenweave_wayland {

bool wait_for_events(host_t& host, int64_t deadline_ns) {
    const int fd = wl_display_get_fd(host.display);
    for (;;) {
        // Events already read stay queued until dispatched; the poll is only for new ones.
        while (wl_display_prepare_read(host.display) != 0) {
            if (wl_display_dispatch_pending(host.display) < 0) {
                return false;
            }
        }
        if (wl_display_flush(host.display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(host.display);
            return false;
        }
        timespec wait = {};
        const timespec* timeout = nullptr;
        if (deadline_ns != 0) {
            const int64_t left = deadline_ns - monotonic_ns();
            if (left <= 0) {
                wl_display_cancel_read(host.display);
                return wl_display_dispatch_pending(host.display) >= 0;
            }
            wait = {static_cast<time_t>(left / 1'000'000'000),
                    static_cast<long>(left % 1'000'000'000)};
            timeout = &wait;
        }
        pollfd poll_fds[2] = {{fd, POLLIN, 0}, {stop_fd(), POLLIN, 0}};
        const int ready = ppoll(poll_fds, 2, timeout, nullptr);
        if (stop_requested()) {
            wl_display_cancel_read(host.display);
            return true;
        }
        if (ready <= 0) {
            wl_display_cancel_read(host.display);
            continue;
        }
        const short revents = poll_fds[0].revents;
        if ((revents & (POLLERR | POLLHUP)) != 0 && (revents & POLLIN) == 0) {
            wl_display_cancel_read(host.display);
            return false;
        }
        if (wl_display_read_events(host.display) < 0 ||
            wl_display_dispatch_pending(host.display) < 0) {
            return false;
        }
        // Until a deadline, the wait goes on after the events unless they end the run; without
        // one, any event ends it.
        if (deadline_ns == 0 || stop_requested() || host.input_ended || host.master_closed) {
            return true;
        }
    }
}

}  // namespace lumenweave_wayland
