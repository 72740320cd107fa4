// The Linux program's command line: the screen-saver daemons' conventions, usage errors of each
// kind, the choice of display system and the saver's flags.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/linux/options.hpp"

namespace lumenweave::linux {
namespace {

options_t parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumenweave");
    return parse_options(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
}

display_system system_for(std::vector<const char*> arguments, const char* wayland_display,
                          const char* wayland_socket = nullptr) {
    return choose_display_system(parse(arguments), wayland_display, wayland_socket);
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
    // A locker's program has only the connection it was handed, and no X11 to fall back to.
    EXPECT_EQ(system_for({}, nullptr, "3"), display_system::wayland);
    EXPECT_EQ(system_for({}, nullptr, ""), display_system::x11);
    EXPECT_EQ(system_for({"--lock-background"}, nullptr), display_system::wayland);
    EXPECT_EQ(system_for({"--x11", "--lock-background"}, nullptr, "3"), display_system::x11);
}

TEST(LinuxOptions, LockBackgroundIsOnTheBackgroundLayerAndMayNameItsOutput) {
    const options_t lock = parse({"--layer", "overlay", "--lock-background", "--output", "DP-1"});
    EXPECT_EQ(lock.mode, run_mode::lock_background);
    EXPECT_EQ(lock.layer, saver_layer::background);
    EXPECT_STREQ(lock.output_name, "DP-1");
}

TEST(LinuxOptions, DaemonConventions) {
    EXPECT_EQ(parse({}).mode, run_mode::window);
    EXPECT_EQ(parse({"--root"}).mode, run_mode::saver_root);
    EXPECT_EQ(parse({"-root"}).mode, run_mode::saver_root);

    const options_t hex = parse({"-window-id", "0x2a00007"});
    EXPECT_EQ(hex.mode, run_mode::saver_window_id);
    EXPECT_EQ(hex.window_id, 0x2a00007u);
    EXPECT_EQ(parse({"--window-id", "44040199"}).window_id, 44040199u);
    // The largest X resource id; one more is a malformed id below.
    EXPECT_EQ(parse({"--window-id", "0x1fffffff"}).window_id, 0x1fffffffu);

    // What daemons add around the flags that matter is accepted and changes nothing.
    const options_t daemon =
        parse({"-display", ":0", "-delay", "20000", "-install", "-visual", "default", "--root",
               "-fps", "--seed", "4294967295", "-script", "/home/me/dance.txt"});
    EXPECT_EQ(daemon.mode, run_mode::saver_root);
    ASSERT_EQ(daemon.scripts.size(), 1u);
    EXPECT_STREQ(daemon.scripts[0].value, "/home/me/dance.txt");
    EXPECT_TRUE(daemon.fps);
    EXPECT_TRUE(daemon.seeded);
    EXPECT_EQ(daemon.seed, 4294967295u);
}

TEST(LinuxOptions, BadArgumentsAreUsageErrorsOfTheirKind) {
    const struct {
        std::vector<const char*> arguments;
        argument_fault fault;
    } cases[] = {
        {{"--bogus"}, argument_fault::unknown_flag},
        {{"root"}, argument_fault::unknown_flag},
        {{"-window-id"}, argument_fault::missing_value},
        {{"--seed"}, argument_fault::missing_value},
        {{"--script"}, argument_fault::missing_value},
        {{"-delay"}, argument_fault::missing_value},
        {{"-visual"}, argument_fault::missing_value},
        {{"-display"}, argument_fault::missing_value},
        {{"-window-id", "0"}, argument_fault::bad_window_id},
        {{"-window-id", "-5"}, argument_fault::bad_window_id},
        {{"-window-id", "0x"}, argument_fault::bad_window_id},
        {{"-window-id", "12abc"}, argument_fault::bad_window_id},
        {{"-window-id", "0x20000000"}, argument_fault::bad_window_id},
        {{"--seed", "4294967296"}, argument_fault::bad_seed},
        {{"--seed", "-1"}, argument_fault::bad_seed},
    };
    for (const auto& c : cases) {
        const options_t options = parse(c.arguments);
        EXPECT_EQ(options.mode, run_mode::usage_error) << c.arguments[0];
        EXPECT_EQ(options.fault, c.fault) << c.arguments[0];
        EXPECT_STREQ(options.bad_argument, c.arguments[0]);
        EXPECT_STREQ(options.bad_value, c.arguments.size() > 1 ? c.arguments[1] : nullptr);
    }
    EXPECT_EQ(parse({"--help", "--bogus"}).mode, run_mode::help);
    EXPECT_EQ(parse({"-h"}).mode, run_mode::help);
    EXPECT_EQ(parse({"--version"}).mode, run_mode::version);
}

TEST(LinuxOptions, FrameRates) {
    EXPECT_EQ(parse({}).frame_rate, 60);
    EXPECT_EQ(parse({}).battery_frame_rate, 30);
    EXPECT_EQ(parse({"--frame-rate", "1"}).frame_rate, 1);
    EXPECT_EQ(parse({"-frame-rate", "240"}).frame_rate, 240);
    EXPECT_EQ(parse({"--battery-frame-rate", "0"}).battery_frame_rate, 0);
    EXPECT_EQ(parse({"--battery-frame-rate", "240"}).battery_frame_rate, 240);
    const struct {
        const char* flag;
        const char* value;
        argument_fault fault;
    } bad[] = {
        {"--frame-rate", "0", argument_fault::bad_frame_rate},
        {"--frame-rate", "241", argument_fault::bad_frame_rate},
        {"--frame-rate", "30fps", argument_fault::bad_frame_rate},
        {"--battery-frame-rate", "241", argument_fault::bad_battery_frame_rate},
        {"--battery-frame-rate", "-1", argument_fault::bad_battery_frame_rate},
    };
    for (const auto& c : bad) {
        const options_t options = parse({c.flag, c.value});
        EXPECT_EQ(options.mode, run_mode::usage_error) << c.flag << ' ' << c.value;
        EXPECT_EQ(options.fault, c.fault) << c.flag << ' ' << c.value;
    }
    EXPECT_EQ(parse({"--frame-rate"}).fault, argument_fault::missing_value);
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
    // The output may come before --saver; without it, it is an error rather than ignored.
    const options_t one = parse({"--output", "HEADLESS-2", "--saver"});
    EXPECT_EQ(one.mode, run_mode::saver);
    EXPECT_STREQ(one.output_name, "HEADLESS-2");
    EXPECT_EQ(parse({"--output", "HEADLESS-2"}).fault, argument_fault::output_without_saver);
    EXPECT_EQ(parse({"--saver", "--output"}).fault, argument_fault::missing_value);
}

// Scripts and links keep the order given; durations take seconds, minutes or hours from 1 s to
// 24 h.
TEST(LinuxOptions, RotationOfScriptsAndLinks) {
    const options_t list =
        parse({"--link", "#z=AA", "-script", "a.txt", "--link", "#s=Yg", "--shuffle"});
    ASSERT_EQ(list.scripts.size(), 3u);
    EXPECT_EQ(list.scripts[0].origin, script_origin::link);
    EXPECT_STREQ(list.scripts[1].value, "a.txt");
    EXPECT_STREQ(list.scripts[2].value, "#s=Yg");
    EXPECT_TRUE(list.shuffle);
    EXPECT_EQ(list.every, 0);
    const struct {
        const char* text;
        int seconds;
    } good[] = {{"1", 1},     {"30s", 30},    {"10m", 600},
                {"1h", 3600}, {"24h", 86400}, {"86400", 86400}};
    for (const auto& c : good) {
        EXPECT_EQ(parse({"--every", c.text}).every, c.seconds) << c.text;
    }
    for (const char* bad : {"0", "0m", "abc", "86401", "1441m", "25h", "10x", "m", "-5", "1.5m"}) {
        const options_t options = parse({"--every", bad});
        EXPECT_EQ(options.fault, argument_fault::bad_every) << bad;
        EXPECT_STREQ(options.bad_value, bad);
    }
    EXPECT_EQ(parse({"--every"}).fault, argument_fault::missing_value);
    EXPECT_EQ(parse({"--link"}).fault, argument_fault::missing_value);
}

}  // namespace
}  // namespace lumenweave::linux
