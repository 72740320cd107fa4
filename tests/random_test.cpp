// The generator against the C library's drand48, and the range of the skewed draw.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/random.hpp"

using namespace lumenweave;

TEST(Random, SeedSetsTheStateWordsOfSrand48) {
    engine::rand48 random;
    seedRandomWith(random, 0);
    EXPECT_EQ(random.x[0], 0x330E);
    EXPECT_EQ(random.x[1], 0);
    EXPECT_EQ(random.x[2], 0);
    seedRandomWith(random, 0x12345678u);
    EXPECT_EQ(random.x[1], 0x5678);
    EXPECT_EQ(random.x[2], 0x1234);
    EXPECT_EQ(random.c, 0xB);
    EXPECT_EQ(random.a[0], 0xE66D);
    EXPECT_EQ(random.a[1], 0xDEEC);
    EXPECT_EQ(random.a[2], 0x0005);
}

TEST(Random, UniformEqualsDrand48ForTheSameSeed) {
    engine::rand48 random;
    for (long seed : {0L, 1L, 42L, 1700000000L, 0xFFFFFFFFL, -1L}) {
        srand48(seed);
        seedRandomWith(random, static_cast<uint32_t>(seed));
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(uniformRandom(random), drand48()) << "seed " << seed << " draw " << i;
        }
    }
}

TEST(Random, SkewedStaysInTheUnitIntervalAndFavoursSmallValues) {
    engine::rand48 random;
    seedRandomWith(random, 7);
    double sum = 0.0;
    int belowHalf = 0;
    const int draws = 100000;
    for (int i = 0; i < draws; ++i) {
        const float x = skewedRandom(random, 1.0f);
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
        belowHalf += x < 0.5f;
    }
    EXPECT_NEAR(sum / draws, (std::exp(1.0) - 2.0) / (std::exp(1.0) - 1.0), 0.005);
    // P(x < 0.5) = ln(1 + (e - 1) / 2) = 0.620
    EXPECT_NEAR(static_cast<double>(belowHalf) / draws, 0.620, 0.01);
}

TEST(Random, SkewedIsTheExpm1RatioOfTheUniformDraw) {
    engine::rand48 random;
    seedRandomWith(random, 99);
    const double r = uniformRandom(random);
    seedRandomWith(random, 99);
    EXPECT_EQ(skewedRandom(random, 1.0f), static_cast<float>(std::expm1(r) / std::expm1(1.0)));
}

TEST(Random, AStateWhoseSuccessorIsZeroDrawsZero) {
    engine::rand48 random;
    // X = -c / a mod 2^48 steps to 0; a is odd, so Newton's iteration inverts it.
    const uint64_t mask = (uint64_t{1} << 48) - 1;
    const uint64_t a = 0x5DEECE66Dull;
    uint64_t inverse = a;
    for (int i = 0; i < 6; ++i) {
        inverse *= 2 - a * inverse;
    }
    const uint64_t x = (0 - 0xBull) * inverse & mask;
    for (bool skewed : {false, true}) {
        seedRandomWith(random, 0);
        random.x[0] = static_cast<uint16_t>(x);
        random.x[1] = static_cast<uint16_t>(x >> 16);
        random.x[2] = static_cast<uint16_t>(x >> 32);
        EXPECT_EQ(skewed ? skewedRandom(random, 1.0f) : uniformRandom(random), 0.0);
    }
}
