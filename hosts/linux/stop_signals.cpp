// The stop signals stay blocked in every thread, the GL library's too, so that no X, Wayland or GL
// call is cut short; one thread of the host's own waits for them. It raises the stop flag, which
// the frame loops read between frames, wakes the session's wait (posix_wait.cpp), and ends the
// process itself should the run not have ended half a second later: one frame can take seconds
// inside the GL library (drawing into a window another client has just destroyed, or a script's
// huge figure), and a saver told to stop must not linger.
#include "hosts/linux/stop_signals.hpp"

#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>

namespace lumenweave::linux {
namespace {

constexpr long stop_grace_ns = 500'000'000;

std::atomic<int> stop_signal{0};
int stop_event = -1;  // eventfd, written once on the first stop signal

sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Async-signal-safe: the fallback below calls it from a handler.
void note_stop(int signal_number) {
    if (stop_signal.exchange(signal_number) == 0 && stop_event >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(stop_event, &one, sizeof one);
    }
}

void* wait_for_stop(void*) {
    const sigset_t set = stop_signals();
    int signal_number = 0;
    while (sigwait(&set, &signal_number) != 0) {
    }
    note_stop(signal_number);
    timespec grace = {0, stop_grace_ns};
    while (nanosleep(&grace, &grace) == -1 && errno == EINTR) {
    }
    _exit(0);
}

}  // namespace

void install_stop_signals() {
    stop_event = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const sigset_t set = stop_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    pthread_t waiter;
    if (pthread_create(&waiter, nullptr, wait_for_stop, nullptr) == 0) {
        pthread_detach(waiter);
        return;
    }
    // Without the waiting thread the signals are caught where they land instead.
    struct sigaction action = {};
    action.sa_handler = note_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool stop_requested() {
    return stop_signal.load() != 0;
}

int stop_fd() {
    return stop_event;
}

}  // namespace lumenweave::linux
