// The Linux session as the hosts and the power-source watch use it: the frame rate, the step clock
// and the windows' close rule; no display, no clock read.
#include <gtest/gtest.h>

#include <algorithm>

#include "hosts/linux/script.hpp"
#include "hosts/linux/session.hpp"
#include "hosts/linux/window_roles.hpp"

namespace lumenweave::linux {
namespace {

// Both display systems close windows by this: a clone goes alone, the master ends the run.
TEST(LinuxSession, CloseOfACloneLeavesTheRunCloseOfTheMasterEndsIt) {
    static session_t session;
    EXPECT_TRUE(close_window(session, false));
    EXPECT_EQ(session.quit, quit_reason::none);
    EXPECT_FALSE(close_window(session, true));
    EXPECT_EQ(session.quit, quit_reason::window_closed);
}

TEST(LinuxSession, FrameRateStillAndBackWithoutCatchingUp) {
    static session_t session;
    const int64_t step = session.pacing.step_period_ns;
    EXPECT_EQ(take_steps(session, 0), 1);
    EXPECT_EQ(take_steps(session, 2 * step), 2);
    set_frame_rate(session, 0);
    // Back at 30 a minute later: one step, then two a frame, the frames 2 steps apart.
    set_frame_rate(session, 30);
    EXPECT_EQ(session.pacing.period_ns, 2 * step);
    EXPECT_EQ(session.pacing.deadline_ns, 0);
    const int64_t later = 60 * ns_per_second;
    EXPECT_EQ(take_steps(session, later), 1);
    EXPECT_EQ(take_steps(session, later + 2 * step), 2);
    // A rate change without a stop keeps the clock going; a restart forgets the time.
    set_frame_rate(session, 60);
    EXPECT_EQ(take_steps(session, later + 4 * step), 2);
    restart_step_clock(session);
    EXPECT_EQ(next_frame_time(session), 0);
    EXPECT_EQ(take_steps(session, later + 100 * step), 1);
    // A rate below the bound (--frame-rate or --battery-frame-rate 1): each frame a second on.
    set_frame_rate(session, 1);
    EXPECT_EQ(take_steps(session, later + 160 * step), 60);
    EXPECT_EQ(take_steps(session, later + 220 * step), 60);
}

// Each turn lasts its steps; the next script then starts afresh, its first frame one step.
TEST(LinuxSession, RotationStartsTheNextScriptAfreshWhenItsStepsAreDone) {
    static session_t session;
    session.options.seeded = true;
    rotation_t& rotation = session.rotation;
    rotation.scripts = {{"a", "actset: 80, 1\n", std::nullopt}, {"b", "actset: 80, 2\n", 5u}};
    rotation.steps_per_turn = 3;
    start_script(session);
    const int64_t step = session.pacing.step_period_ns;
    int64_t now = 0;
    for (int i = 0; i < 3; ++i, now += step) {
        record_next_frame(session, take_steps(session, now));
    }
    EXPECT_EQ(rotation.order[rotation.turn], 0u);
    EXPECT_EQ(session.engine_frame, 3u);
    // The next frame, late by 4 steps, belongs to b: its first step only, on b's own seed.
    EXPECT_EQ(take_steps(session, now + 4 * step), 1);
    EXPECT_EQ(rotation.order[rotation.turn], 1u);
    EXPECT_EQ(session.engine_frame, 0u);
    EXPECT_EQ(session.seed, 5u);
}

// A shuffled round holds every script once and never starts with the one the last round ended on.
TEST(LinuxSession, ShuffledRoundsCoverAllBeforeRepeating) {
    std::mt19937 random(1);
    std::vector<std::size_t> order = round_order(4, false, std::nullopt, random);
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3}));
    bool reordered = false;
    for (int round = 0; round < 200; ++round) {
        const std::size_t last = order.back();
        order = round_order(4, true, last, random);
        std::vector<std::size_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, (std::vector<std::size_t>{0, 1, 2, 3})) << "round " << round;
        ASSERT_NE(order.front(), last) << "round " << round;
        reordered = reordered || order != std::vector<std::size_t>{0, 1, 2, 3};
    }
    EXPECT_TRUE(reordered);
    // Two scripts alternate; one alone repeats.
    EXPECT_EQ(round_order(2, true, 1, random), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(round_order(1, true, 0, random), (std::vector<std::size_t>{0}));
}

}  // namespace
}  // namespace lumenweave::linux
