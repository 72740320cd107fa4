// The Linux program's command line.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
namespace {

options_t parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumenweave");
    return parse_options(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
}

TEST(X11Options, DaemonConventions) {
    EXPECT_EQ(parse({}).mode, run_mode::window);
    EXPECT_EQ(parse({"--root"}).mode, run_mode::saver_root);
    EXPECT_EQ(parse({"-root"}).mode, run_mode::saver_root);

    const options_t hex = parse({"-window-id", "0x2a00007"});
    EXPECT_EQ(hex.mode, run_mode::saver_window_id);
    EXPECT_EQ(hex.window_id, 0x2a00007u);
    EXPECT_EQ(parse({"--window-id", "44040199"}).window_id, 44040199u);

    // What daemons add around the flags that matter is accepted and changes nothing.
    const options_t daemon =
        parse({"-display", ":0", "-delay", "20000", "-install", "-visual", "default", "--root",
               "-fps", "--seed", "4294967295", "-script", "/home/me/dance.txt"});
    EXPECT_EQ(daemon.mode, run_mode::saver_root);
    EXPECT_STREQ(daemon.script_path, "/home/me/dance.txt");
    EXPECT_TRUE(daemon.fps);
    EXPECT_TRUE(daemon.seeded);
    EXPECT_EQ(daemon.seed, 4294967295u);
}

TEST(X11Options, BadArgumentsAreUsageErrors) {
    for (const std::vector<const char*>& arguments : std::vector<std::vector<const char*>>{
             {"--bogus"},
             {"-window-id"},
             {"-window-id", "0"},
             {"-window-id", "-5"},
             {"-window-id", "0x"},
             {"-window-id", "12abc"},
             {"-window-id", "0x100000000"},
             {"--seed", "4294967296"},
             {"--seed", "-1"},
             {"--seed"},
             {"--script"},
             {"-delay"},
             {"root"},
         }) {
        const options_t options = parse(arguments);
        EXPECT_EQ(options.mode, run_mode::usage_error) << arguments[0];
        EXPECT_NE(options.bad_argument, nullptr);
    }
    EXPECT_EQ(parse({"--help", "--bogus"}).mode, run_mode::help);
    EXPECT_EQ(parse({"--version"}).mode, run_mode::version);
}

}  // namespace
}  // namespace lumenweave_x11
