// Whether anything the Linux program draws on X11 can be seen, from the facts the X server gives:
// the DPMS extension's power levels and enable state (or its absence), and each window's map state,
// coverage and minimised state.
#include <gtest/gtest.h>

#include "hosts/linux/visibility.hpp"

namespace lumenweave::linux {
namespace {

dpms_facts_t dpms(bool extension, bool enabled, uint16_t level) {
    return {extension, enabled, power_from_dpms_level(level)};
}

const sight_t shown;
const sight_t covered = {true, false, true};

TEST(LinuxVisibility, DpmsLevelsAsTheProtocolNumbersThem) {
    EXPECT_EQ(power_from_dpms_level(0), monitor_power::on);
    EXPECT_EQ(power_from_dpms_level(1), monitor_power::standby);
    EXPECT_EQ(power_from_dpms_level(2), monitor_power::suspend);
    EXPECT_EQ(power_from_dpms_level(3), monitor_power::off);
    // A level the protocol does not name leaves the picture on.
    EXPECT_EQ(power_from_dpms_level(4), monitor_power::on);
}

TEST(LinuxVisibility, MonitorsPoweredDownHideEverythingWhileDpmsIsEnabled) {
    const std::vector<sight_t> window = {shown};
    EXPECT_TRUE(anything_visible(window, dpms(true, true, 0)));
    EXPECT_FALSE(anything_visible(window, dpms(true, true, 1)));  // standby
    EXPECT_FALSE(anything_visible(window, dpms(true, true, 2)));  // suspend
    EXPECT_FALSE(anything_visible(window, dpms(true, true, 3)));  // off
    // Disabled, the level says nothing; without the extension (Xvfb) the monitors are on.
    EXPECT_TRUE(anything_visible(window, dpms(true, false, 3)));
    EXPECT_TRUE(anything_visible(window, dpms(false, true, 3)));
    EXPECT_TRUE(anything_visible(window, dpms_facts_t{}));
}

TEST(LinuxVisibility, OneWindowSeenIsEnough) {
    const dpms_facts_t on = dpms(true, true, 0);
    EXPECT_TRUE(anything_visible({covered, shown}, on));
    EXPECT_FALSE(anything_visible({covered, covered}, on));
    // A window manager that keeps minimised windows mapped says so only in their state.
    const sight_t minimised = {true, true, false};
    const sight_t unmapped = {false, false, false};
    EXPECT_FALSE(anything_visible({minimised, unmapped}, on));
    EXPECT_TRUE(anything_visible({minimised, shown}, on));
    EXPECT_FALSE(anything_visible({}, on));
    // The monitors off hide even the windows nothing covers.
    EXPECT_FALSE(anything_visible({shown, shown}, dpms(true, true, 3)));
}

}  // namespace
}  // namespace lumenweave::linux
