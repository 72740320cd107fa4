// The power source of a build without sd-bus (libsystemd-dev was missing when CMake configured):
// always mains, so the program draws at its --frame-rate whatever the supply.
#include "hosts/linux/power_source.hpp"

#include <poll.h>

#include "hosts/linux/frame_log.hpp"

namespace lumenweave::linux {

void open_power_source(power_source_t& source) {
    source.supply = power_supply::mains;
    log_event(log_item::power, "mains (built without sd-bus)");
}

int power_source_fd(const power_source_t&) {
    return -1;
}

short power_source_events(const power_source_t&) {
    return POLLIN;
}

bool follow_power_source(power_source_t&) {
    return false;
}

void close_power_source(power_source_t&) {}

}  // namespace lumenweave::linux
