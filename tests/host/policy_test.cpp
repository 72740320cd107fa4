// Display-mode cycle and the screensaver's mouse check.
#include "hosts/windows/policy.hpp"

#include <gtest/gtest.h>

using namespace lumenweave;

namespace {

using namespace saver;

TEST(DisplayMode, OneMonitorTogglesBetweenWindowedAndMonitor) {
    EXPECT_EQ(next_display_mode(display_kind::windowed, 1), display_kind::monitor);
    EXPECT_EQ(next_display_mode(display_kind::monitor, 1), display_kind::windowed);
    // The last two modes are only reached with several monitors; should the monitor count fall
    // meanwhile, the next step still returns to the window.
    EXPECT_EQ(next_display_mode(display_kind::virtual_screen, 1), display_kind::windowed);
    EXPECT_EQ(next_display_mode(display_kind::per_monitor, 1), display_kind::windowed);
}

TEST(DisplayMode, SeveralMonitorsWalkAllFourModes) {
    display_kind mode = display_kind::windowed;
    display_kind seen[5];
    for (display_kind& step : seen) {
        step = mode;
        mode = next_display_mode(mode, 2);
    }
    EXPECT_EQ(seen[0], display_kind::windowed);
    EXPECT_EQ(seen[1], display_kind::monitor);
    EXPECT_EQ(seen[2], display_kind::virtual_screen);
    EXPECT_EQ(seen[3], display_kind::per_monitor);
    EXPECT_EQ(seen[4], display_kind::windowed);
}

TEST(DisplayMode, CursorHidesOnlyWhileNotAlreadyHidden) {
    EXPECT_TRUE(cursor_needs_hiding(0));
    EXPECT_TRUE(cursor_needs_hiding(2));
    EXPECT_FALSE(cursor_needs_hiding(-1));
}

TEST(MouseCheck, FirstMoveNeverEndsTheRunEvenFarAway) {
    frame::pointer_watch state{false, true, 100, 100};
    auto verdict = mouse_check(state, 900, 700, false);
    EXPECT_FALSE(verdict.allow_close);
    // A close is posted but refused, and the saved point stays where it was.
    EXPECT_TRUE(verdict.post_close);
    EXPECT_EQ(state.x, 100);
    EXPECT_TRUE(state.moved);
}

TEST(MouseCheck, LaterMoveBeyondFourPixelsEnds) {
    frame::pointer_watch state{true, true, 100, 100};
    auto verdict = mouse_check(state, 103, 102, false);
    EXPECT_TRUE(verdict.allow_close);
    EXPECT_TRUE(verdict.post_close);
}

TEST(MouseCheck, SmallMovesAreFollowedWithoutEnding) {
    frame::pointer_watch state{true, true, 100, 100};
    // Each step is within 4 pixels of the last saved point, although the total drifts far.
    for (int step = 1; step <= 50; ++step) {
        auto verdict = mouse_check(state, 100 + 2 * step, 100 + 2 * step, false);
        EXPECT_FALSE(verdict.post_close) << step;
    }
    EXPECT_EQ(state.x, 200);
    EXPECT_EQ(state.y, 200);
    EXPECT_FALSE(mouse_check(state, 196, 200, false).post_close);
    EXPECT_TRUE(mouse_check(state, 196, 205, false).post_close);
}

TEST(MouseCheck, PreviewNeverAllowsTheClose) {
    frame::pointer_watch state{false, true, 0, 0};
    for (int step = 0; step < 5; ++step) {
        EXPECT_FALSE(mouse_check(state, 500 * step, 0, true).allow_close);
    }
}

}  // namespace
