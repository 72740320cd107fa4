// Reading the history ring: the two sampling operations, straight and along a period.
#include "engine/history.hpp"

namespace lumenweave::engine {

namespace {

int slotBefore(int k) {
    return k <= 0 ? k - 1 + historySize : k - 1;
}

}  // namespace

float sampleHistory(const float* channel, int k, float t) {
    return (1.0f - t) * channel[slotBefore(k)] + t * channel[k];
}

float sampleHistoryPeriodic(const float* channel, int k, float t, float period) {
    const float a = channel[k];
    const float b = channel[slotBefore(k)];
    const float d = a - b;
    if (d > 0.5f * period) {
        return (1.0f - t) * (b + period) + t * a;
    }
    if (d < -0.5f * period) {
        return (1.0f - t) * b + t * (a + period);
    }
    return (1.0f - t) * b + t * a;
}

}  // namespace lumenweave::engine
