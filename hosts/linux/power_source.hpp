// Whether the machine runs on battery, as desktop programs learn it on Linux: UPower's OnBattery
// property on the system bus, followed while the program runs, for the session's battery rate.
#pragma once

struct sd_bus;

namespace lumenweave::linux {

enum class power_supply { mains, battery };

// The system bus connection and what UPower last said on it. Without a bus (containers, CI),
// without UPower, or in a build without sd-bus, the supply stays mains.
struct power_source_t {
    sd_bus* bus = nullptr;  // null: not connected, mains from then on
    power_supply supply = power_supply::mains;
};

// Connects to the system bus and asks UPower, without waiting: the answer comes through
// follow_power_source. No bus is no fault: the test build's log says it in one line.
void open_power_source(power_source_t& source);
// The descriptor the session's wait watches for the bus, -1 without one, and the poll events it
// waits for (writing too, while the connection has requests to send).
int power_source_fd(const power_source_t& source);
short power_source_events(const power_source_t& source);
// Handles what came on the bus without waiting; true when the supply changed.
bool follow_power_source(power_source_t& source);
void close_power_source(power_source_t& source);

}  // namespace lumenweave::linux
