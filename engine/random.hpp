// The animation's one random generator: the 48-bit linear congruential generator of drand48.
#pragma once

#include <cstdint>

namespace lumenweave::engine {

struct rand48 {
    uint16_t x[3] = {};  // state X, low word first
    uint16_t c = 0;      // addend
    uint16_t a[3] = {};  // multiplier, low word first
};

// Seeds with t, as srand48(t) would. The clock is the host's: the Windows program passes the
// calendar time in whole seconds (low 32 bits), as srand48(time(0)) would.
void seedRandomWith(rand48& random, uint32_t t);
// A double in [0, 1); the same sequence as drand48 after the same seed.
double uniformRandom(rand48& random);
// (expm1(r * m)) / expm1(1) for r = uniformRandom(); in [0, 1) for m = 1, favouring small values.
float skewedRandom(rand48& random, float m);

}  // namespace lumenweave::engine
