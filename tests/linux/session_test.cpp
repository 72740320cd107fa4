// The Linux session as the hosts and the power-source watch use it: the frame rate, the step clock
// and the windows' close rule; no display, no clock read.
#include <gtest/gtest.h>

#include "hosts/linux/session.hpp"
#include "hosts/linux/window_roles.hpp"

namespace lumenweave::linux_session {
namespace {

// Both display systems close windows by this: a mirror goes alone, the master ends the run.
TEST(LinuxSession, CloseOfAMirrorLeavesTheRunCloseOfTheMasterEndsIt) {
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

}  // namespace
}  // namespace lumenweave::linux_session
