// The 128-slot history ring of sampled actuator values, the running values the frame driver keeps
// for the figure, and the two ways the renderer reads the ring.
#pragma once

#include <cstdint>

constexpr int historySize = 128;

struct HistoryRing {
    float zoom[historySize];
    float twist[historySize];
    float arm[historySize];
    float wrist[historySize];
    float hue[historySize];
    float lightness[historySize];
    float flipAngle[historySize];
    float spinAngle[historySize];
    float mirrorScale[historySize];  // never written: 0.0 in every slot
    uint8_t outline[historySize];
    uint8_t fill[historySize];
};

struct HistoryState {
    int historyIndex = 0;  // the newest slot
    float slotFraction = 0.0f;
    float wheelAngle = 0.0f;
    float flipAngle = 0.0f;
    float spinAngle = 0.0f;
    int32_t wingCount = 52;
};

extern HistoryRing history;
extern HistoryState historyState;

// (1 - t) * channel[prev] + t * channel[k], prev being the slot before k.
float sampleHistory(const float* channel, int k, float t);
// The same along the shorter arc of the period; period 0 equals sampleHistory.
float sampleHistoryPeriodic(const float* channel, int k, float t, float period);
