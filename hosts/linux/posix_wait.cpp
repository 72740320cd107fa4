// The Linux program's one wait: a ppoll over every descriptor a run follows, so that neither host
// sleeps through a stop, a lost connection, a saved script or a change of power supply.
#include "hosts/linux/posix_wait.hpp"

#include <poll.h>

#include <ctime>

#include "hosts/linux/clock.hpp"
#include "hosts/linux/stop_signals.hpp"

namespace lumenweave::linux {

wait_news_t wait_on(const wait_sources_t& sources, int64_t deadline_ns) {
    wait_news_t news;
    for (;;) {
        if (stop_requested()) {
            news.stop = true;
            return news;
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
        // poll skips an entry of descriptor -1. The bus's own timeouts (a request never
        // answered) are not waited for: such a request only leaves the supply as it was.
        pollfd watched[4] = {{sources.display, POLLIN, 0},
                             {stop_fd(), POLLIN, 0},
                             {sources.script, POLLIN, 0},
                             {sources.power, sources.power_events, 0}};
        const int ready = ppoll(watched, 4, timeout, nullptr);
        news.stop = stop_requested();
        if (ready < 0 && !news.stop) {
            continue;
        }
        news.script = (watched[2].revents & POLLIN) != 0;
        news.power = watched[3].revents != 0;
        news.display = (watched[0].revents & POLLIN) != 0;
        news.display_lost = (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
        news.deadline = ready == 0;
        return news;
    }
}

}  // namespace lumenweave::linux
