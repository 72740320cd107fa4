// The Linux session's wait: one ppoll over the display connection, the stop signals' descriptor,
// the script's watch and the system bus, so that neither host sleeps through a stop, a lost
// connection, a saved script or a change of power supply.
#include "hosts/linux/posix_wait.hpp"

#include <poll.h>

#include <ctime>

#include "hosts/linux/power_source.hpp"
#include "hosts/linux/script.hpp"
#include "hosts/linux/stop_signals.hpp"

namespace lumenweave::linux_session {

wake_reason wait_for(session_t& session, int display_fd, int64_t deadline_ns) {
    const int rate = session.pacing.rate;
    for (;;) {
        if (stop_requested()) {
            return wake_reason::stop;
        }
        timespec wait = {};
        const timespec* timeout = nullptr;
        if (deadline_ns != 0) {
            const int64_t left = deadline_ns - monotonic_ns();
            if (left > 0) {
                wait = {static_cast<time_t>(left / 1'000'000'000),
                        static_cast<long>(left % 1'000'000'000)};
            }
            timeout = &wait;
        }
        // poll skips an entry of descriptor -1: a run without a script has no watch, one without
        // a system bus no power source. The bus's own timeouts (a request never answered) are
        // not waited for: such a request only leaves the supply as it was.
        pollfd watched[4] = {
            {display_fd, POLLIN, 0},
            {stop_fd(), POLLIN, 0},
            {session.script_watch.fd, POLLIN, 0},
            {power_source_fd(session.power), power_source_events(session.power), 0}};
        const int ready = ppoll(watched, 4, timeout, nullptr);
        if (stop_requested()) {
            return wake_reason::stop;
        }
        if (ready < 0) {
            continue;
        }
        if ((watched[2].revents & POLLIN) != 0) {
            follow_script(session);
        }
        if (watched[3].revents != 0 && follow_power_source(session.power)) {
            set_frame_rate(session, session.power.supply == power_supply::battery
                                        ? session.options.battery_frame_rate
                                        : session.options.frame_rate);
        }
        if (session.pacing.rate != rate) {
            return wake_reason::paced;
        }
        const short display = watched[0].revents;
        if ((display & POLLIN) != 0) {
            return wake_reason::display;
        }
        if ((display & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return wake_reason::display_lost;
        }
        if (ready == 0) {
            return wake_reason::deadline;
        }
    }
}

}  // namespace lumenweave::linux_session
