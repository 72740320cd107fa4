// The pacing arithmetic the hosts share: the period in the ticks of their clocks (the
// performance counter on Windows, nanoseconds on Linux), the deadline chain, the wait and the
// animation's steps per drawn frame.
#include <gtest/gtest.h>

#include <vector>

#include "frame/pacing.hpp"

using namespace lumenweave;

namespace {

constexpr int64_t ns_per_second = 1'000'000'000;

// The steps of each frame drawn at RATE frames a second for SECONDS, from START on CLOCK, the
// rate chosen as the Linux session chooses it.
std::vector<int> steps_at(frame::step_clock_t& clock, int rate, int seconds, int64_t start = 0) {
    const int64_t period = frame::frame_period_ticks(ns_per_second);
    const int most = frame::max_steps_for(frame::draw_period_ticks(ns_per_second, rate), period);
    std::vector<int> steps;
    for (int64_t i = 0; i < int64_t{rate} * seconds; ++i) {
        steps.push_back(steps_due(clock, start + i * ns_per_second / rate, period, most));
    }
    return steps;
}

int sum(const std::vector<int>& steps) {
    int total = 0;
    for (int s : steps) {
        total += s;
    }
    return total;
}

TEST(Pacing, PeriodInTicksIsTruncated) {
    EXPECT_EQ(frame::frame_period_ticks(10000000), 166660);
    EXPECT_EQ(frame::frame_period_ticks(1000000), 16666);
    EXPECT_EQ(frame::frame_period_ticks(3579545), 59656);  // 3579545 * 16666 / 1e6 = 59656.7
    // A 3 GHz counter: the product must not overflow 64 bits.
    EXPECT_EQ(frame::frame_period_ticks(3000000000), 49998000);
    EXPECT_EQ(frame::frame_period_ticks(1'000'000'000), 16'666'000);
}

TEST(Pacing, WaitsWholeMillisecondsOfTheRemainder) {
    const int64_t frequency = 10000000;
    const int64_t period = frame::frame_period_ticks(frequency);
    EXPECT_EQ(frame::frame_wait_ms(0, 0, period, frequency), 16u);
    EXPECT_EQ(frame::frame_wait_ms(1000, 1000 + 60000, period, frequency), 10u);  // 10.666 ms left
    EXPECT_EQ(frame::frame_wait_ms(0, period - 10001, period, frequency), 1u);
}

TEST(Pacing, NoWaitWhenLessThanAMillisecondRemainsOrTheFrameOverran) {
    const int64_t frequency = 10000000;
    const int64_t period = frame::frame_period_ticks(frequency);
    EXPECT_EQ(frame::frame_wait_ms(0, period - 9999, period, frequency), 0u);
    EXPECT_EQ(frame::frame_wait_ms(0, period, period, frequency), 0u);
    EXPECT_EQ(frame::frame_wait_ms(0, period + 1, period, frequency), 0u);
    EXPECT_EQ(frame::frame_wait_ms(0, 10 * period, period, frequency), 0u);
    EXPECT_EQ(frame::frame_wait_ms(500, 400, period, frequency), 0u);  // counter went backwards
}

TEST(Pacing, DeadlinesFollowOnePeriodApartWhateverPresentingCost) {
    const int64_t period = frame::frame_period_ticks(10000000);
    EXPECT_EQ(frame::frame_deadline(0, 5000000, period), 5000000 + period);  // the first frame
    // The next frame starts 1.5 ms after the last deadline (the present and the loop took it):
    // its deadline is still one period after the last, and its wait is that much shorter.
    const int64_t last = 5000000 + period;
    const int64_t t0 = last + 15000;
    EXPECT_EQ(frame::frame_deadline(last, t0, period), last + period);
    EXPECT_EQ(frame::frame_wait_ms(last, t0 + 50000, period, 10000000), 10u);  // 10.166 ms
    // The same in nanoseconds: 0.9 ms of presenting.
    const int64_t ns_period = frame::frame_period_ticks(1'000'000'000);
    EXPECT_EQ(frame::frame_deadline(1000 + ns_period, 1000 + ns_period + 900'000, ns_period),
              1000 + 2 * ns_period);
}

TEST(Pacing, AFrameStartingAPeriodLateStartsAFreshChain) {
    const int64_t period = frame::frame_period_ticks(10000000);
    const int64_t last = 1000000;
    EXPECT_EQ(frame::frame_deadline(last, last + period, period), last + 2 * period);
    EXPECT_EQ(frame::frame_deadline(last, last + 5 * period + 7, period), last + 6 * period + 7);
    EXPECT_EQ(frame::frame_deadline(last, last + period - 1, period), last + period);
    // Stopped and continued 40 periods later: no burst of frames to catch up.
    const int64_t ns_period = frame::frame_period_ticks(1'000'000'000);
    const int64_t resumed = 1000 + 40 * ns_period;
    EXPECT_EQ(frame::frame_deadline(1000 + ns_period, resumed, ns_period), resumed + ns_period);
    // A clock that went backwards never gives a deadline more than a period ahead.
    EXPECT_EQ(frame::frame_deadline(last, last - 100, period), last - 100 + period);
    EXPECT_EQ(frame::frame_deadline(1000 + 10 * ns_period, 1000, ns_period), 1000 + ns_period);
}

TEST(Pacing, SixtyStepsASecondWhateverTheDrawingRate) {
    frame::step_clock_t at60;
    EXPECT_EQ(steps_at(at60, 60, 10), std::vector<int>(600, 1));
    frame::step_clock_t at30;
    const std::vector<int> steps30 = steps_at(at30, 30, 10);
    EXPECT_EQ(std::vector<int>(steps30.begin() + 1, steps30.end()), std::vector<int>(299, 2));
    // 144 a second: a step on five frames of twelve, never two in one.
    frame::step_clock_t at144;
    const std::vector<int> steps144 = steps_at(at144, 144, 10);
    EXPECT_NEAR(sum(steps144), 600, 1);
    for (int s : steps144) {
        EXPECT_LE(s, 1);
    }
    // The drawing period at 60 is the step period: one step a frame however long the run.
    const int64_t period = frame::frame_period_ticks(ns_per_second);
    EXPECT_EQ(frame::draw_period_ticks(ns_per_second, 60), period);
    EXPECT_EQ(frame::draw_period_ticks(ns_per_second, 30), 2 * period);
    frame::step_clock_t drawn;
    for (int64_t i = 0; i < 100000; ++i) {
        ASSERT_EQ(steps_due(drawn, i * period, period, frame::max_steps_per_frame), 1)
            << "frame " << i;
    }
}

// A rate chosen below 7.5 frames a second is no stall: each frame takes all the steps of its gap.
TEST(Pacing, AChosenRateBelowTheBoundKeepsElapsedTime) {
    for (int rate : {7, 5, 2, 1}) {
        frame::step_clock_t clock;
        const std::vector<int> steps = steps_at(clock, rate, 10);
        // After the first frame's step, those of the time since it.
        const double elapsed = (static_cast<double>(steps.size()) - 1) / rate;  // seconds
        EXPECT_NEAR(sum(steps) - 1, elapsed * frame::steps_per_second, 1)
            << rate << " frames a second";
    }
    frame::step_clock_t at5;
    std::vector<int> twelve(10, 12);
    twelve[0] = 1;
    EXPECT_EQ(steps_at(at5, 5, 2), twelve);
    frame::step_clock_t at1;
    EXPECT_EQ(steps_at(at1, 1, 3), (std::vector<int>{1, 60, 60}));
    const int64_t period = frame::frame_period_ticks(ns_per_second);
    EXPECT_EQ(frame::max_steps_for(frame::draw_period_ticks(ns_per_second, 60), period),
              frame::max_steps_per_frame);
    EXPECT_EQ(frame::max_steps_for(frame::draw_period_ticks(ns_per_second, 8), period), 16);
    EXPECT_EQ(frame::max_steps_for(frame::draw_period_ticks(ns_per_second, 1), period), 120);
    // At 5 a second, a frame a whole second late is a stall: the bound, and the chain anew.
    frame::step_clock_t clock;
    steps_at(clock, 5, 1);
    const int most = frame::max_steps_for(frame::draw_period_ticks(ns_per_second, 5), period);
    EXPECT_EQ(steps_due(clock, 2 * ns_per_second, period, most), most);
    EXPECT_EQ(steps_due(clock, 2 * ns_per_second + ns_per_second / 5, period, most), 12);
}

TEST(Pacing, AfterALongGapTheBoundAndNoBurst) {
    const int64_t period = frame::frame_period_ticks(ns_per_second);
    frame::step_clock_t clock;
    steps_at(clock, 60, 1);
    // 100 ms late: made up in one frame. 5 s late: the bound, then one a frame again.
    const int64_t back = ns_per_second - period + 100'000'000;
    const int most = frame::max_steps_per_frame;
    EXPECT_EQ(steps_due(clock, back, period, most), 6);
    const int64_t later = back + 5 * ns_per_second;
    EXPECT_EQ(steps_due(clock, later, period, most), frame::max_steps_per_frame);
    EXPECT_EQ(steps_due(clock, later + period, period, most), 1);
    EXPECT_EQ(next_step_time(clock, period), later + 2 * period - period / 4);
    // A restarted clock takes one step, however long ago the last was.
    clock = frame::step_clock_t{};
    EXPECT_EQ(steps_due(clock, later + 60 * ns_per_second, period, most), 1);
}

}  // namespace
