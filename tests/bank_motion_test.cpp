// The actuator bank's operations and the two motion passes.
#include <gtest/gtest.h>

#include "engine/actuators.hpp"
#include "engine/motion.hpp"
#include "engine/random.hpp"

namespace {

class Bank : public ::testing::Test {
  protected:
    void SetUp() override {
        createBank();
        seedRandomWith(1);
    }
    static Actuator& act(int index) { return *findActuator(index); }
    static void expectRange(int index, float low, float high) {
        EXPECT_EQ(act(index).lowLimit, low);
        EXPECT_EQ(act(index).highLimit, high);
    }
};

TEST_F(Bank, HoldsTheFourteenActuatorsWithTheirStartValues) {
    const int filled[] = {18, 31, 38, 45, 52, 73, 80, 87, 94, 101, 108, 123, 127, 130};
    int count = 0;
    for (int i = -5; i < bankSize + 5; ++i) {
        count += findActuator(i) != nullptr;
    }
    EXPECT_EQ(count, 14);
    for (int i : filled) {
        ASSERT_NE(findActuator(i), nullptr) << i;
        const Actuator& a = act(i);
        EXPECT_EQ(a.value, i == 45 ? 1.0f : i == 52 ? 52.0f : 0.0f) << i;
        EXPECT_EQ(a.active, 0);
        EXPECT_EQ(a.moving, 0);
        EXPECT_EQ(a.direction, 1.0f);
        EXPECT_EQ(a.variance, 0.6f);
        EXPECT_EQ(a.duration, 0.0f);
    }
    EXPECT_EQ(findActuator(17), nullptr);
    EXPECT_EQ(findActuator(29), nullptr);
}

TEST_F(Bank, LimitsOnlyWiden) {
    actLim1(101, -1.5f);
    actLim2(101, 1.5f, 160.0f, 1.0f);
    expectRange(101, -1.5f, 1.5f);

    actLim1(73, 0.137f);
    actLim2(73, -0.137f, 120.0f, 1.0f);
    expectRange(73, -0.137f, 0.0f);

    actLim1(123, 0.544053f);
    actLim2(123, 1.295f, 60.0f, 1.0f);
    expectRange(123, 0.0f, 1.295f);

    actLim1(80, 0.23f);
    actLim2(80, -0.23f, 100.0f, 1.0f);
    actLim1(80, 5.23f);
    actLim2(80, -5.23f, 40.0f, 1.0f);
    expectRange(80, -5.23f, 0.0f);
    actLim1(80, 0.23f);
    actLim2(80, -0.23f, 100.0f, 1.0f);
    expectRange(80, -5.23f, 0.0f);
}

TEST_F(Bank, Lim2AtTheLowLimitTakesTheSecondBranch) {
    actLim1(94, -2.0f);
    actLim2(94, -2.0f, 90.0f, 0.5f);
    expectRange(94, -2.0f, 0.0f);
    const Actuator& a = act(94);
    EXPECT_EQ(a.duration, 90.0f);
    EXPECT_EQ(a.variance, 0.5f);
    EXPECT_EQ(a.active, 1);
}

TEST_F(Bank, EmptyAndOutOfRangeSlotsAreIgnored) {
    for (int index : {17, 29, -1, 1024, 1 << 30, -(1 << 30)}) {
        actSet(index, 3.0f);
        actLim1(index, -3.0f);
        actLim2(index, 3.0f, 1.0f, 1.0f);
        actReset(index);
        actStop(index);
        EXPECT_EQ(findActuator(index), nullptr);
    }
    for (const Actuator& a : bank.actuators) {
        EXPECT_EQ(a.lowLimit, 0.0f);
        EXPECT_EQ(a.highLimit, 0.0f);
    }
}

TEST_F(Bank, ResetRestoresZeroEvenWhereTheStartValueWasNot) {
    actReset(45);
    actReset(52);
    actSet(31, 0.06f);
    actReset(31);
    EXPECT_EQ(act(45).value, 0.0f);
    EXPECT_EQ(act(52).value, 0.0f);
    EXPECT_EQ(act(31).value, 0.0f);
}

TEST_F(Bank, StopAllClearsOnlyActive) {
    actLim2(18, 1.0f, 10.0f, 1.0f);
    actLim2(130, 1.0f, 10.0f, 1.0f);
    startMotions();
    actStopAll();
    for (const Actuator& a : bank.actuators) {
        EXPECT_EQ(a.active, 0);
    }
    EXPECT_EQ(act(18).moving, 1);
    EXPECT_EQ(act(130).moving, 1);
}

TEST_F(Bank, AMotionStepsEvenlyAndEndsOneFrameAfterReachingItsTarget) {
    Actuator& a = act(31);
    a.active = 1;
    a.moving = 1;
    a.target = 1.0f;
    a.step = 0.25f;
    a.direction = 1.0f;
    const float expected[] = {0.25f, 0.5f, 0.75f, 1.0f, 1.0f};
    for (float v : expected) {
        stepMotions();
        EXPECT_EQ(a.value, v);
    }
    EXPECT_EQ(a.moving, 0);
    startMotions();
    EXPECT_EQ(a.moving, 1);
}

TEST_F(Bank, MotionLengthsFollowDurationAndVariance) {
    Actuator& a = act(101);
    a.lowLimit = -1.0f;
    a.highLimit = 1.0f;
    a.active = 1;
    for (float variance : {0.0f, 1.0f}) {
        a.duration = 160.0f;
        a.variance = variance;
        for (int i = 0; i < 2000; ++i) {
            a.moving = 0;
            a.value = 0.0f;
            startMotions();
            ASSERT_GE(a.target, -1.0f);
            ASSERT_LT(a.target, 1.0f);
            const float length = (a.target - a.value) / a.step;
            if (variance == 0.0f) {
                ASSERT_NEAR(length, 160.0f, 1e-3f);
            } else {
                ASSERT_GE(length, 1.0f - 1e-4f);
                ASSERT_LE(length, 320.0f);
            }
            ASSERT_EQ(a.direction, a.step > 0.0f ? 1.0f : -1.0f);
        }
    }
}

TEST_F(Bank, MotionDrawsTargetThenLengthInIndexOrder) {
    actLim1(130, -1.0f);
    actLim2(130, 1.0f, 50.0f, 1.0f);
    actLim1(18, -2.0f);
    actLim2(18, 2.0f, 30.0f, 0.5f);
    seedRandomWith(5);
    startMotions();

    seedRandomWith(5);
    auto expectMotion = [](const Actuator& a, float low, float high, float duration,
                           float variance) {
        const float r = static_cast<float>(uniformRandom());
        const float target = (1.0f - r) * low + r * high;
        const float q = skewedRandom(1.0f);
        float length = (1.0f - variance) * duration + ((2.0f * q) * duration) * variance;
        length = length < 1.0f ? 1.0f : length;
        EXPECT_EQ(a.target, target);
        EXPECT_EQ(a.step, (target - a.value) / length);
    };
    expectMotion(act(18), -2.0f, 2.0f, 30.0f, 0.5f);
    expectMotion(act(130), -1.0f, 1.0f, 50.0f, 1.0f);
}

TEST_F(Bank, AZeroLengthMotionTravelsForever) {
    actLim2(127, 0.0f, 10.0f, 1.0f);  // limits [0, 0] with value 0
    for (int i = 0; i < 50; ++i) {
        startMotions();
        stepMotions();
    }
    const Actuator& a = act(127);
    EXPECT_EQ(a.step, 0.0f);
    EXPECT_EQ(a.direction, -1.0f);
    EXPECT_EQ(a.moving, 1);
    actLim2(127, 5.0f, 10.0f, 1.0f);
    startMotions();
    stepMotions();
    EXPECT_EQ(a.value, 0.0f);
    EXPECT_EQ(a.target, 0.0f);
}

TEST_F(Bank, StopFreezesAMotionThatResumesBeforeANewTarget) {
    Actuator& a = act(94);
    actLim1(94, -2.0f);
    actLim2(94, -2.0f, 100.0f, 0.0f);  // range [-2, 0], length 100
    startMotions();
    const float target = a.target;
    const float step = a.step;
    for (int i = 0; i < 50; ++i) {
        stepMotions();
    }
    actStop(94);
    const float frozen = a.value;
    for (int i = 0; i < 10; ++i) {
        startMotions();
        stepMotions();
    }
    EXPECT_EQ(a.value, frozen);
    EXPECT_EQ(a.moving, 1);

    actLim1(94, -10.0f);
    actLim2(94, 10.0f, 5.0f, 0.0f);
    int frames = 0;
    while (a.moving && frames < 200) {
        startMotions();
        EXPECT_EQ(a.target, target);
        EXPECT_EQ(a.step, step);
        stepMotions();
        ++frames;
    }
    EXPECT_EQ(a.value, target);
    EXPECT_NEAR(frames, 51, 1);
    startMotions();
    EXPECT_NE(a.target, target);
}

TEST_F(Bank, AValueSetOutsideTheRangeComesBackInside) {
    actLim1(73, 0.137f);
    actLim2(73, -0.137f, 20.0f, 1.0f);
    actSet(73, 3.0f);
    const Actuator& a = act(73);
    bool inside = false;
    for (int i = 0; i < 5000; ++i) {
        startMotions();
        stepMotions();
        const bool now = a.value >= -0.137f && a.value <= 0.0f;
        ASSERT_TRUE(now || !inside) << "left the range at frame " << i;
        inside = now;
    }
    EXPECT_TRUE(inside);
}

}  // namespace
