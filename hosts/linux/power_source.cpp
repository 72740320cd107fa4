// UPower's OnBattery on the system bus through sd-bus: one Get at the start and its
// PropertiesChanged signal after, both answered in the session's wait, so that a change of supply
// wakes the program only when it happens.
#include "hosts/linux/power_source.hpp"

#include <poll.h>
#include <systemd/sd-bus.h>

#include <cstring>

#include "hosts/linux/frame_log.hpp"

namespace lumenweave::linux {
namespace {

constexpr const char* upower_name = "org.freedesktop.UPower";
constexpr const char* upower_path = "/org/freedesktop/UPower";
constexpr const char* properties_interface = "org.freedesktop.DBus.Properties";

const char* supply_name(power_supply supply) {
    return supply == power_supply::battery ? "battery" : "mains";
}

// ANSWERED: UPower's answer at the start, which the log tells even when it is mains.
void set_supply(power_source_t& source, int on_battery, bool answered) {
    const power_supply supply = on_battery != 0 ? power_supply::battery : power_supply::mains;
    if (answered || supply != source.supply) {
        log_event(log_item::power, "%s", supply_name(supply));
    }
    source.supply = supply;
}

// The answer to the Get of OnBattery. An error (no UPower on the bus) leaves mains.
int on_battery_answered(sd_bus_message* reply, void* data, sd_bus_error*) {
    const sd_bus_error* error = sd_bus_message_get_error(reply);
    if (error != nullptr) {
        log_event(log_item::power, "mains (UPower: %s)", error->name);
        return 0;
    }
    int on_battery = 0;
    if (sd_bus_message_read(reply, "v", "b", &on_battery) >= 0) {
        set_supply(*static_cast<power_source_t*>(data), on_battery, true);
    }
    return 0;
}

// PropertiesChanged (s interface, a{sv} changed, as invalidated): OnBattery among the changed.
int properties_changed(sd_bus_message* signal, void* data, sd_bus_error*) {
    const char* interface = nullptr;
    if (sd_bus_message_read(signal, "s", &interface) < 0 ||
        std::strcmp(interface, upower_name) != 0 ||
        sd_bus_message_enter_container(signal, 'a', "{sv}") < 0) {
        return 0;
    }
    while (sd_bus_message_enter_container(signal, 'e', "sv") > 0) {
        const char* name = nullptr;
        int on_battery = 0;
        if (sd_bus_message_read(signal, "s", &name) < 0) {
            return 0;
        }
        if (std::strcmp(name, "OnBattery") == 0) {
            if (sd_bus_message_read(signal, "v", "b", &on_battery) < 0) {
                return 0;
            }
            set_supply(*static_cast<power_source_t*>(data), on_battery, false);
        } else if (sd_bus_message_skip(signal, "v") < 0) {
            return 0;
        }
        if (sd_bus_message_exit_container(signal) < 0) {
            return 0;
        }
    }
    return 0;
}

}  // namespace

void open_power_source(power_source_t& source) {
    source.supply = power_supply::mains;
    int result = sd_bus_open_system(&source.bus);
    // The match goes first, so that no change between the answer and the match is missed. The
    // slots are the connection's own (floating), released with it.
    if (result >= 0) {
        result = sd_bus_match_signal_async(source.bus, nullptr, upower_name, upower_path,
                                           properties_interface, "PropertiesChanged",
                                           properties_changed, nullptr, &source);
    }
    if (result >= 0) {
        result = sd_bus_call_method_async(source.bus, nullptr, upower_name, upower_path,
                                          properties_interface, "Get", on_battery_answered, &source,
                                          "ss", upower_name, "OnBattery");
    }
    if (result < 0) {
        log_event(log_item::power, "mains (system bus: %s)", std::strerror(-result));
        close_power_source(source);
    }
}

int power_source_fd(const power_source_t& source) {
    return source.bus != nullptr ? sd_bus_get_fd(source.bus) : -1;
}

short power_source_events(const power_source_t& source) {
    const int events = source.bus != nullptr ? sd_bus_get_events(source.bus) : 0;
    return static_cast<short>(events > 0 ? events : POLLIN);
}

bool follow_power_source(power_source_t& source) {
    if (source.bus == nullptr) {
        return false;
    }
    const power_supply before = source.supply;
    int result = 0;
    do {
        result = sd_bus_process(source.bus, nullptr);
    } while (result > 0);
    // A bus that went away says nothing more: the last supply it told stays.
    if (result < 0) {
        log_event(log_item::power, "%s (the system bus is gone: %s)", supply_name(source.supply),
                  std::strerror(-result));
        close_power_source(source);
    }
    return source.supply != before;
}

void close_power_source(power_source_t& source) {
    source.bus = sd_bus_flush_close_unref(source.bus);
}

}  // namespace lumenweave::linux
