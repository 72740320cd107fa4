// The decision whether anything the Linux program draws can be seen, and the session's rest.
#include "hosts/linux/visibility.hpp"

#include "hosts/linux/frame_log.hpp"
#include "hosts/linux/session_state.hpp"

namespace lumenweave::linux {

monitor_power power_from_dpms_level(uint16_t level) {
    switch (level) {
        case 1:
            return monitor_power::standby;
        case 2:
            return monitor_power::suspend;
        case 3:
            return monitor_power::off;
        default:
            return monitor_power::on;
    }
}

bool anything_visible(const std::vector<sight_t>& surfaces, const dpms_facts_t& dpms) {
    // Standby and suspend blank the monitor as off does; they differ only in how fast it wakes.
    if (dpms.extension && dpms.enabled && dpms.level != monitor_power::on) {
        return false;
    }
    for (const sight_t& surface : surfaces) {
        if (surface.viewable && !surface.minimised && !surface.covered) {
            return true;
        }
    }
    return false;
}

bool follow_sight(session_t& session, bool seen) {
    if (seen == !session.resting) {
        return seen;
    }
    session.resting = !seen;
    if (seen) {
        restart_step_clock(session);
    }
    log_event(seen ? log_item::resumed : log_item::paused, "%llu",
              static_cast<unsigned long long>(session.engine_frame));
    return seen;
}

}  // namespace lumenweave::linux
