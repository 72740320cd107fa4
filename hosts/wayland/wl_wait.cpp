// Waiting for the compositor: its events, a deadline, or a stop signal, whichever comes first,
// through the session's wait (wait_for in hosts/linux/session.hpp), which also follows a saved
// script meanwhile.
#include <cerrno>

#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {

bool wait_for_events(host_t& host, int64_t deadline_ns, wait_end end) {
    using linux::wake_reason;
    const int fd = wl_display_get_fd(host.display);
    for (;;) {
        // Events already read stay queued until dispatched; the wait is only for new ones.
        while (wl_display_prepare_read(host.display) != 0) {
            if (wl_display_dispatch_pending(host.display) < 0) {
                return false;
            }
        }
        if (wl_display_flush(host.display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(host.display);
            return false;
        }
        switch (linux::wait_for(host.session, fd, deadline_ns)) {
            case wake_reason::stop:
                wl_display_cancel_read(host.display);
                return true;
            case wake_reason::deadline:
            case wake_reason::paced:
                wl_display_cancel_read(host.display);
                return wl_display_dispatch_pending(host.display) >= 0;
            case wake_reason::display_lost:
                wl_display_cancel_read(host.display);
                return false;
            case wake_reason::display:
                break;
        }
        if (wl_display_read_events(host.display) < 0 ||
            wl_display_dispatch_pending(host.display) < 0) {
            return false;
        }
        // Until a deadline, the wait goes on after the events unless they end the run; without
        // one, or asked to, any event ends it.
        if (deadline_ns == 0 || end == wait_end::first_events || linux::run_over(host.session)) {
            return true;
        }
    }
}

void end_on_lost_connection(host_t& host) {
    if (lock_background(host)) {
        log_event(log_item::connection_closed);
        host.session.quit = quit_reason::locker_closed;
        return;
    }
    report_failure(failure_kind::wayland_connection_lost);
    host.session.quit = quit_reason::failed;
}

}  // namespace lumenweave::wayland
