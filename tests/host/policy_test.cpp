// Display-mode cycle, the screensaver's mouse check and the frame pacing arithmetic.
#include "hosts/windows/policy.hpp"

#include <gtest/gtest.h>

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
    mouse_state state{false, 100, 100};
    auto verdict = mouse_check(state, 900, 700, false);
    EXPECT_FALSE(verdict.allow_close);
    // A close is posted but refused, and the saved point stays where it was.
    EXPECT_TRUE(verdict.post_close);
    EXPECT_EQ(state.saved_x, 100);
    EXPECT_TRUE(state.first_move_seen);
}

TEST(MouseCheck, LaterMoveBeyondFourPixelsEnds) {
    mouse_state state{true, 100, 100};
    auto verdict = mouse_check(state, 103, 102, false);
    EXPECT_TRUE(verdict.allow_close);
    EXPECT_TRUE(verdict.post_close);
}

TEST(MouseCheck, SmallMovesAreFollowedWithoutEnding) {
    mouse_state state{true, 100, 100};
    // Each step is within 4 pixels of the last saved point, although the total drifts far.
    for (int step = 1; step <= 50; ++step) {
        auto verdict = mouse_check(state, 100 + 2 * step, 100 + 2 * step, false);
        EXPECT_FALSE(verdict.post_close) << step;
    }
    EXPECT_EQ(state.saved_x, 200);
    EXPECT_EQ(state.saved_y, 200);
    EXPECT_FALSE(mouse_check(state, 196, 200, false).post_close);
    EXPECT_TRUE(mouse_check(state, 196, 205, false).post_close);
}

TEST(MouseCheck, PreviewNeverAllowsTheClose) {
    mouse_state state{false, 0, 0};
    for (int step = 0; step < 5; ++step) {
        EXPECT_FALSE(mouse_check(state, 500 * step, 0, true).allow_close);
    }
}

TEST(Pacing, PeriodInTicksIsTruncated) {
    EXPECT_EQ(frame_period_ticks(10000000), 166660);
    EXPECT_EQ(frame_period_ticks(1000000), 16666);
    EXPECT_EQ(frame_period_ticks(3579545), 59656);  // 3579545 * 16666 / 1e6 = 59656.7
    // A 3 GHz counter: the product must not overflow 64 bits.
    EXPECT_EQ(frame_period_ticks(3000000000), 49998000);
}

TEST(Pacing, WaitsWholeMillisecondsOfTheRemainder) {
    const int64_t frequency = 10000000;
    const int64_t period = frame_period_ticks(frequency);
    EXPECT_EQ(frame_wait_ms(0, 0, period, frequency), 16u);
    EXPECT_EQ(frame_wait_ms(1000, 1000 + 60000, period, frequency), 10u);  // 10.666 ms left
    EXPECT_EQ(frame_wait_ms(0, period - 10001, period, frequency), 1u);
}

TEST(Pacing, NoWaitWhenLessThanAMillisecondRemainsOrTheFrameOverran) {
    const int64_t frequency = 10000000;
    const int64_t period = frame_period_ticks(frequency);
    EXPECT_EQ(frame_wait_ms(0, period - 9999, period, frequency), 0u);
    EXPECT_EQ(frame_wait_ms(0, period, period, frequency), 0u);
    EXPECT_EQ(frame_wait_ms(0, period + 1, period, frequency), 0u);
    EXPECT_EQ(frame_wait_ms(0, 10 * period, period, frequency), 0u);
    EXPECT_EQ(frame_wait_ms(500, 400, period, frequency), 0u);  // counter went backwards
}

TEST(Pacing, DeadlinesFollowOnePeriodApartWhateverPresentingCost) {
    const int64_t period = frame_period_ticks(10000000);
    EXPECT_EQ(frame_deadline(0, 5000000, period), 5000000 + period);  // the first frame
    // The next frame starts 1.5 ms after the last deadline (the present and the loop took it):
    // its deadline is still one period after the last, and its wait is that much shorter.
    const int64_t last = 5000000 + period;
    const int64_t t0 = last + 15000;
    EXPECT_EQ(frame_deadline(last, t0, period), last + period);
    EXPECT_EQ(frame_wait_ms(last, t0 + 50000, period, 10000000), 10u);  // 10.166 ms
}

TEST(Pacing, AFrameStartingAPeriodLateStartsAFreshChain) {
    const int64_t period = frame_period_ticks(10000000);
    const int64_t last = 1000000;
    EXPECT_EQ(frame_deadline(last, last + period, period), last + 2 * period);
    EXPECT_EQ(frame_deadline(last, last + 5 * period + 7, period), last + 6 * period + 7);
    EXPECT_EQ(frame_deadline(last, last + period - 1, period), last + period);
    // A counter that went backwards never gives a deadline more than a period ahead.
    EXPECT_EQ(frame_deadline(last, last - 100, period), last - 100 + period);
}

}  // namespace
