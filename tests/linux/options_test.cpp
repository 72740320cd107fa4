// The Linux program's choice of display system, its saver flags and the saver's pointer slack.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/linux/options.hpp"

namespace lumenweave_linux {
namespace {

options_t parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumenweave");
    return parse_options(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
}

display_system system_for(std::vector<const char*> arguments, const char* wayland_display) {
    return choose_display_system(parse(arguments), wayland_display);
}

TEST(LinuxOptions, WaylandWhenItsDisplayIsSetUnlessTheDaemonsModesOrX11AreAsked) {
    EXPECT_EQ(system_for({}, "wayland-0"), display_system::wayland);
    EXPECT_EQ(system_for({"--saver"}, "wayland-0"), display_system::wayland);
    EXPECT_EQ(system_for({"--saver"}, nullptr), display_system::x11);
    EXPECT_EQ(system_for({}, ""), display_system::x11);
    EXPECT_EQ(system_for({"-root"}, "wayland-0"), display_system::x11);
    EXPECT_EQ(system_for({"--window-id", "0x400001"}, "wayland-0"), display_system::x11);
    EXPECT_EQ(system_for({"--x11", "--saver"}, "wayland-0"), display_system::x11);
    EXPECT_EQ(system_for({"--wayland"}, nullptr), display_system::wayland);
}

TEST(LinuxOptions, SaverLayer) {
    EXPECT_EQ(parse({"--saver"}).mode, run_mode::saver);
    EXPECT_EQ(parse({"--saver"}).layer, saver_layer::overlay);
    EXPECT_EQ(parse({"--saver", "--layer", "background"}).layer, saver_layer::background);
    const options_t top = parse({"--saver", "--layer", "top"});
    EXPECT_EQ(top.mode, run_mode::usage_error);
    EXPECT_EQ(top.fault, argument_fault::bad_layer);
    EXPECT_STREQ(top.bad_value, "top");
    EXPECT_EQ(parse({"--layer"}).fault, argument_fault::missing_value);
}

}  // namespace
}  // namespace lumenweave_linux
