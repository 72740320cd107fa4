// The 128-slot history ring of sampled actuator values, the running values the frame driver keeps
// for the figure, and the two ways the renderer reads the ring.
#pragma once

#include <cstdint>

namespace lumenweave::engine {

constexpr int historySize = 128;

// One channel per sampled actuator, one entry per slot.
struct HistoryRing {
    float zoom[historySize];         // units along the column, per wing
    float twist[historySize];        // degrees, per wing
    float arm[historySize];          // units
    float wrist[historySize];        // units
    float hue[historySize];          // turns
    float lightness[historySize];    // 0..1
    float flipAngle[historySize];    // degrees
    float spinAngle[historySize];    // degrees
    float mirrorScale[historySize];  // never written: 0.0 in every slot
    uint8_t outline[historySize];    // 0 or 1
    uint8_t fill[historySize];       // 0 or 1
};

// Wings the figure shows from the start until a script sets the wing-count actuator.
constexpr int32_t defaultWingCount = 52;

struct HistoryState {
    int historyIndex = 0;                  // slot: the newest one
    float slotFraction = 0.0f;             // slots: how far the ring is towards its next advance
    float wheelAngle = 0.0f;               // degrees
    float flipAngle = 0.0f;                // degrees
    float spinAngle = 0.0f;                // degrees
    int32_t wingCount = defaultWingCount;  // wings drawn
};

// (1 - t) * channel[prev] + t * channel[k], prev being the slot before k.
float sampleHistory(const float* channel, int k, float t);
// The same along the shorter arc of the period; period 0 equals sampleHistory.
float sampleHistoryPeriodic(const float* channel, int k, float t, float period);

}  // namespace lumenweave::engine
