// The actuator bank's operations and the two motion passes.
#include <gtest/gtest.h>

#include "engine/actuators.hpp"
#include "engine/motion.hpp"
#include "engine/random.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

class Bank : public ::testing::Test {
  protected:
    engine::ActuatorBank bank;
    engine::rand48 random;

    void SetUp() override {
        createBank(bank);
        seedRandomWith(random, 1);
    }
    void expectRange(int index, float low, float high) {
        EXPECT_EQ(act(bank, index).lowLimit, low);
        EXPECT_EQ(act(bank, index).highLimit, high);
    }
};

TEST_F(Bank, HoldsTheFourteenActuatorsWithTheirStartValues) {
    const int filled[] = {18, 31, 38, 45, 52, 73, 80, 87, 94, 101, 108, 123, 127, 130};
    int count = 0;
    for (int i = -5; i < engine::bankSize + 5; ++i) {
        count += findActuator(bank, i) != nullptr;
    }
    EXPECT_EQ(count, 14);
    for (int i : filled) {
        ASSERT_NE(findActuator(bank, i), nullptr) << i;
        const engine::Actuator& a = act(bank, i);
        EXPECT_EQ(a.value, i == 45 ? 1.0f : i == 52 ? 52.0f : 0.0f) << i;
        EXPECT_EQ(a.active, 0);
        EXPECT_EQ(a.moving, 0);
        EXPECT_EQ(a.direction, 1.0f);
        EXPECT_EQ(a.variance, 0.6f);
        EXPECT_EQ(a.duration, 0.0f);
    }
    EXPECT_EQ(findActuator(bank, 17), nullptr);
    EXPECT_EQ(findActuator(bank, 29), nullptr);
}

TEST_F(Bank, LimitsOnlyWiden) {
    actLim1(bank, 101, -1.5f);
    actLim2(bank, 101, 1.5f, 160.0f, 1.0f);
    expectRange(101, -1.5f, 1.5f);

    actLim1(bank, 73, 0.137f);
    actLim2(bank, 73, -0.137f, 120.0f, 1.0f);
    expectRange(73, -0.137f, 0.0f);

    actLim1(bank, 123, 0.544053f);
    actLim2(bank, 123, 1.295f, 60.0f, 1.0f);
    expectRange(123, 0.0f, 1.295f);

    actLim1(bank, 80, 0.23f);
    actLim2(bank, 80, -0.23f, 100.0f, 1.0f);
    actLim1(bank, 80, 5.23f);
    actLim2(bank, 80, -5.23f, 40.0f, 1.0f);
    expectRange(80, -5.23f, 0.0f);
    actLim1(bank, 80, 0.23f);
    actLim2(bank, 80, -0.23f, 100.0f, 1.0f);
    expectRange(80, -5.23f, 0.0f);
}

TEST_F(Bank, Lim2AtTheLowLimitTakesTheSecondBranch) {
    actLim1(bank, 94, -2.0f);
    actLim2(bank, 94, -2.0f, 90.0f, 0.5f);
    expectRange(94, -2.0f, 0.0f);
    const engine::Actuator& a = act(bank, 94);
    EXPECT_EQ(a.duration, 90.0f);
    EXPECT_EQ(a.variance, 0.5f);
    EXPECT_EQ(a.active, 1);
}

TEST_F(Bank, EmptyAndOutOfRangeSlotsAreIgnored) {
    for (int index : {17, 29, -1, 1024, 1 << 30, -(1 << 30)}) {
        actSet(bank, index, 3.0f);
        actLim1(bank, index, -3.0f);
        actLim2(bank, index, 3.0f, 1.0f, 1.0f);
        actReset(bank, index);
        actStop(bank, index);
        EXPECT_EQ(findActuator(bank, index), nullptr);
    }
    for (const engine::Actuator& a : bank.actuators) {
        EXPECT_EQ(a.lowLimit, 0.0f);
        EXPECT_EQ(a.highLimit, 0.0f);
    }
}

TEST_F(Bank, ResetRestoresZeroEvenWhereTheStartValueWasNot) {
    actReset(bank, 45);
    actReset(bank, 52);
    actSet(bank, 31, 0.06f);
    actReset(bank, 31);
    EXPECT_EQ(act(bank, 45).value, 0.0f);
    EXPECT_EQ(act(bank, 52).value, 0.0f);
    EXPECT_EQ(act(bank, 31).value, 0.0f);
}

TEST_F(Bank, StopAllClearsOnlyActive) {
    actLim2(bank, 18, 1.0f, 10.0f, 1.0f);
    actLim2(bank, 130, 1.0f, 10.0f, 1.0f);
    startMotions(bank, random);
    actStopAll(bank);
    for (const engine::Actuator& a : bank.actuators) {
        EXPECT_EQ(a.active, 0);
    }
    EXPECT_EQ(act(bank, 18).moving, 1);
    EXPECT_EQ(act(bank, 130).moving, 1);
}

TEST_F(Bank, AMotionStepsEvenlyAndEndsOneFrameAfterReachingItsTarget) {
    engine::Actuator& a = act(bank, 31);
    a.active = 1;
    a.moving = 1;
    a.target = 1.0f;
    a.step = 0.25f;
    a.direction = 1.0f;
    const float expected[] = {0.25f, 0.5f, 0.75f, 1.0f, 1.0f};
    for (float v : expected) {
        stepMotions(bank);
        EXPECT_EQ(a.value, v);
    }
    EXPECT_EQ(a.moving, 0);
    startMotions(bank, random);
    EXPECT_EQ(a.moving, 1);
}

TEST_F(Bank, MotionLengthsFollowDurationAndVariance) {
    engine::Actuator& a = act(bank, 101);
    a.lowLimit = -1.0f;
    a.highLimit = 1.0f;
    a.active = 1;
    for (float variance : {0.0f, 1.0f}) {
        a.duration = 160.0f;
        a.variance = variance;
        for (int i = 0; i < 2000; ++i) {
            a.moving = 0;
            a.value = 0.0f;
            startMotions(bank, random);
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
    actLim1(bank, 130, -1.0f);
    actLim2(bank, 130, 1.0f, 50.0f, 1.0f);
    actLim1(bank, 18, -2.0f);
    actLim2(bank, 18, 2.0f, 30.0f, 0.5f);
    seedRandomWith(random, 5);
    startMotions(bank, random);

    seedRandomWith(random, 5);
    auto expectMotion = [this](const engine::Actuator& a, float low, float high, float duration,
                               float variance) {
        const float r = static_cast<float>(uniformRandom(random));
        const float target = (1.0f - r) * low + r * high;
        const float q = skewedRandom(random, 1.0f);
        float length = (1.0f - variance) * duration + ((2.0f * q) * duration) * variance;
        length = length < 1.0f ? 1.0f : length;
        EXPECT_EQ(a.target, target);
        EXPECT_EQ(a.step, (target - a.value) / length);
    };
    expectMotion(act(bank, 18), -2.0f, 2.0f, 30.0f, 0.5f);
    expectMotion(act(bank, 130), -1.0f, 1.0f, 50.0f, 1.0f);
}

TEST_F(Bank, AZeroLengthMotionTravelsForever) {
    actLim2(bank, 127, 0.0f, 10.0f, 1.0f);  // limits [0, 0] with value 0
    for (int i = 0; i < 50; ++i) {
        startMotions(bank, random);
        stepMotions(bank);
    }
    const engine::Actuator& a = act(bank, 127);
    EXPECT_EQ(a.step, 0.0f);
    EXPECT_EQ(a.direction, -1.0f);
    EXPECT_EQ(a.moving, 1);
    actLim2(bank, 127, 5.0f, 10.0f, 1.0f);
    startMotions(bank, random);
    stepMotions(bank);
    EXPECT_EQ(a.value, 0.0f);
    EXPECT_EQ(a.target, 0.0f);
}

TEST_F(Bank, StopFreezesAMotionThatResumesBeforeANewTarget) {
    engine::Actuator& a = act(bank, 94);
    actLim1(bank, 94, -2.0f);
    actLim2(bank, 94, -2.0f, 100.0f, 0.0f);  // range [-2, 0], length 100
    startMotions(bank, random);
    const float target = a.target;
    const float step = a.step;
    for (int i = 0; i < 50; ++i) {
        stepMotions(bank);
    }
    actStop(bank, 94);
    const float frozen = a.value;
    for (int i = 0; i < 10; ++i) {
        startMotions(bank, random);
        stepMotions(bank);
    }
    EXPECT_EQ(a.value, frozen);
    EXPECT_EQ(a.moving, 1);

    actLim1(bank, 94, -10.0f);
    actLim2(bank, 94, 10.0f, 5.0f, 0.0f);
    int frames = 0;
    while (a.moving && frames < 200) {
        startMotions(bank, random);
        EXPECT_EQ(a.target, target);
        EXPECT_EQ(a.step, step);
        stepMotions(bank);
        ++frames;
    }
    EXPECT_EQ(a.value, target);
    EXPECT_NEAR(frames, 51, 1);
    startMotions(bank, random);
    EXPECT_NE(a.target, target);
}

TEST_F(Bank, AValueSetOutsideTheRangeComesBackInside) {
    actLim1(bank, 73, 0.137f);
    actLim2(bank, 73, -0.137f, 20.0f, 1.0f);
    actSet(bank, 73, 3.0f);
    const engine::Actuator& a = act(bank, 73);
    bool inside = false;
    for (int i = 0; i < 5000; ++i) {
        startMotions(bank, random);
        stepMotions(bank);
        const bool now = a.value >= -0.137f && a.value <= 0.0f;
        ASSERT_TRUE(now || !inside) << "left the range at frame " << i;
        inside = now;
    }
    EXPECT_TRUE(inside);
}

}  // namespace
