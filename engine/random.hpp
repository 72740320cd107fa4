// The animation's one random generator: the 48-bit linear congruential generator of drand48.
#pragma once

#include <cstdint>

struct rand48 {
    uint16_t x[3];  // state X, low word first
    uint16_t c;     // addend
    uint16_t a[3];  // multiplier, low word first
};

// The generator of the whole process.
extern rand48 randomState;

// Seeds from the calendar time in whole seconds (low 32 bits), like srand48(time(0)).
void seedRandom();
// Seeds with a given t, as srand48(t) would; for tests and tools.
void seedRandomWith(uint32_t t);
// A double in [0, 1); the same sequence as drand48 after the same seed.
double uniformRandom();
// (expm1(r * m)) / expm1(1) for r = uniformRandom(); in [0, 1) for m = 1, favouring small values.
float skewedRandom(float m);
