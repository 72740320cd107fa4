// The 48-bit linear congruential generator of the drand48 family and the two draws built on it.
#include "engine/random.hpp"

#include <cmath>

namespace lumenweave::engine {

namespace {

constexpr uint64_t mask48 = (uint64_t{1} << 48) - 1;

uint64_t join(const uint16_t w[3]) {
    return uint64_t{w[0]} | uint64_t{w[1]} << 16 | uint64_t{w[2]} << 32;
}

// X = (a * X + c) mod 2^48; the 64-bit product keeps the low 48 bits exact.
uint64_t advance(rand48& random) {
    const uint64_t x = (join(random.a) * join(random.x) + random.c) & mask48;
    random.x[0] = static_cast<uint16_t>(x);
    random.x[1] = static_cast<uint16_t>(x >> 16);
    random.x[2] = static_cast<uint16_t>(x >> 32);
    return x;
}

}  // namespace

void seedRandomWith(rand48& random, uint32_t t) {
    random.x[0] = 0x330E;
    random.x[1] = static_cast<uint16_t>(t);
    random.x[2] = static_cast<uint16_t>(t >> 16);
    random.a[0] = 0xE66D;
    random.a[1] = 0xDEEC;
    random.a[2] = 0x0005;
    random.c = 0xB;
}

double uniformRandom(rand48& random) {
    // A 48-bit integer is exact in a double, and so is its scaling by 2^-48.
    return std::ldexp(static_cast<double>(advance(random)), -48);
}

float skewedRandom(rand48& random, float m) {
    const double r = uniformRandom(random);
    return static_cast<float>(std::expm1(r * m) / std::expm1(1.0));
}

}  // namespace lumenweave::engine
