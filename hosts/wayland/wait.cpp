// Waiting for the compositor: SIGTERM, SIGINT and SIGHUP stay blocked except while the host waits
// for events or a deadline, so that a stop cuts the wait short and never a call into the
// compositor or EGL.
#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <ctime>

#include "hosts/wayland/host.hpp"

namespace lumenweave_wayland {
namespace {

volatile sig_atomic_t stop_signal = 0;

void note_stop(int signal_number) {
    stop_signal = signal_number;
}

sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void install_stop_signals() {
    const sigset_t set = stop_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    struct sigaction action = {};
    action.sa_handler = note_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool stop_requested() {
    return stop_signal != 0;
}

int64_t monotonic_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool wait_for_events(host_t& host, int64_t deadline_ns) {
    sigset_t let_through;
    pthread_sigmask(SIG_BLOCK, nullptr, &let_through);
    sigdelset(&let_through, SIGTERM);
    sigdelset(&let_through, SIGINT);
    sigdelset(&let_through, SIGHUP);
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
        pollfd poll_fd = {fd, POLLIN, 0};
        const int ready = ppoll(&poll_fd, 1, timeout, &let_through);
        if (ready <= 0) {
            wl_display_cancel_read(host.display);
            if (stop_requested()) {
                return true;
            }
            continue;
        }
        if ((poll_fd.revents & (POLLERR | POLLHUP)) != 0 && (poll_fd.revents & POLLIN) == 0) {
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
