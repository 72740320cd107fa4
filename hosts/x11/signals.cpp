// SIGTERM, SIGINT and SIGHUP end the run. They stay blocked while the program draws, so that the
// GL library's threads never take them and no X or GL call is cut short, and are let through only
// while the frame loop sleeps, where they cut the sleep short.
#include <signal.h>

#include <cerrno>
#include <ctime>

#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
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
    // No SA_RESTART: the sleep must return on the signal.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool stop_requested() {
    return stop_signal != 0;
}

void sleep_until(int64_t deadline_ns) {
    const sigset_t set = stop_signals();
    // A signal that came while blocked is handled here, before the sleep starts.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    timespec until = {static_cast<time_t>(deadline_ns / 1'000'000'000),
                      static_cast<long>(deadline_ns % 1'000'000'000)};
    while (!stop_requested() &&
           clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

}  // namespace lumenweave_x11
