// The figure: a column of wings, one per recent history slot, each on a two-joint arm, recorded
// newest first into the draw list it is given.
#include "figure/figure.hpp"

#include <algorithm>
#include <cstdint>

namespace lumenweave::figure {

namespace {

// Wings recorded at the most. A script may ask for up to 2^31 - 1; far fewer already take seconds
// to draw, and the whole request would take more memory to record than a machine has.
constexpr int64_t maxWings = 65536;

constexpr float half = 0.1f;  // the wing square is 0.2 units wide, centred on its origin
constexpr float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};

// Slot of the i-th wing counted back from the newest slot f.
int slotOf(int f, int64_t i) {
    const int64_t s = (static_cast<int64_t>(f) - i) % engine::historySize;
    return static_cast<int>(s < 0 ? s + engine::historySize : s);
}

struct WingSample {
    float zoom, arm, wrist, twist, mirror, spin, flip;
    uint8_t fill, outline;
};

struct WingColors {
    Color fill, outline;
};

void recordColor(drawlist::draw_list_t& list, const Color& c) {
    record_color(list, c.red, c.green, c.blue);
}

void drawCopy(const WingSample& w, const WingColors& colors, bool scaled,
              drawlist::draw_list_t& list) {
    record_push_matrix(list);
    record_rotate(list, w.spin, 0.0f, 0.0f, 1.0f);
    record_translate(list, 0.0f, w.arm, 0.0f);
    record_rotate(list, w.flip, 0.0f, 1.0f, 0.0f);
    record_translate(list, w.wrist, 0.0f, 0.0f);
    if (scaled)
        record_scale(list, w.mirror, w.mirror, 1.0f);
    if (w.fill != 0) {
        recordColor(list, colors.fill);
        drawSquare(true, list);
    }
    if (w.outline != 0) {
        recordColor(list, colors.outline);
        drawSquare(false, list);
    }
    record_pop_matrix(list);
}

}  // namespace

float hlsChannel(float low, float high, float hue) {
    if (hue > 360.0f)
        hue = hue - 360.0f;
    if (hue < 0.0f)
        hue = hue + 360.0f;
    if (hue < 60.0f)
        return static_cast<float>(low + (high - low) * (hue / 60.0));
    if (hue < 180.0f)
        return high;
    if (hue < 240.0f)
        return static_cast<float>(low + (high - low) * ((240.0f - hue) / 60.0));
    return low;
}

Color hlsToRgb(float h, float l, float s) {
    const float high = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    if (s == 0.0f)
        return {l, l, l};
    const float low = 2.0f * l - high;
    const float hueDegrees = static_cast<float>(h * 360.0);
    return {hlsChannel(low, high, static_cast<float>(hueDegrees + 120.0)),
            hlsChannel(low, high, hueDegrees),
            hlsChannel(low, high, static_cast<float>(hueDegrees - 120.0))};
}

void drawSquare(bool filled, drawlist::draw_list_t& list) {
    record_begin(list, filled ? drawlist::draw_primitive_polygon : drawlist::draw_primitive_lines);
    if (filled) {
        for (const auto& c : corners)
            record_vertex(list, c[0], c[1]);
    } else {
        for (int side = 0; side < 4; ++side) {
            const auto& from = corners[side];
            const auto& to = corners[(side + 1) % 4];
            record_vertex(list, from[0], from[1]);
            record_vertex(list, to[0], to[1]);
        }
    }
    record_end(list);
}

void drawFigure(const engine::HistoryRing& history, const engine::HistoryState& historyState,
                drawlist::draw_list_t& list) {
    const engine::HistoryRing& r = history;
    const int f = historyState.historyIndex;
    const int64_t n = std::min<int64_t>(historyState.wingCount, maxWings);
    const float t = historyState.slotFraction;

    record_color(list, 1.0f, 1.0f, 1.0f);
    record_push_matrix(list);
    record_rotate(list, historyState.wheelAngle, 1.0f, 0.0f, 0.0f);

    // Step back by half the column's length so that it is centred on the origin.
    for (int64_t i = 0; i < n; ++i) {
        record_translate(list, 0.0f, 0.0f, -0.5f * engine::sampleHistory(r.zoom, slotOf(f, i), t));
    }

    for (int64_t i = 0; i < n; ++i) {
        const int s = slotOf(f, i);
        const WingSample w = {engine::sampleHistory(r.zoom, s, t),
                              engine::sampleHistory(r.arm, s, t),
                              engine::sampleHistory(r.wrist, s, t),
                              engine::sampleHistory(r.twist, s, t),
                              engine::sampleHistory(r.mirrorScale, s, t),
                              engine::sampleHistoryPeriodic(r.spinAngle, s, t, 360.0f),
                              engine::sampleHistoryPeriodic(r.flipAngle, s, t, 360.0f),
                              r.fill[s],
                              r.outline[s]};
        const float h = engine::sampleHistoryPeriodic(r.hue, s, t, 1.0f);
        const float l = engine::sampleHistoryPeriodic(r.lightness, s, t, 1.0f);
        float h2 = h + 0.5f;
        if (static_cast<double>(h2) > 1.0)
            h2 = h2 - 1.0f;
        const WingColors colors = {hlsToRgb(h, l, 1.0f), hlsToRgb(h2, 1.0f - l, 1.0f)};

        // Four copies under a mirror-and-half-turn pattern; the transforms are left in place
        // and, the two mirrors cancelling, turn the next wing by a half turn plus the twist.
        drawCopy(w, colors, false, list);
        record_scale(list, 1.0f, -1.0f, 1.0f);
        drawCopy(w, colors, true, list);
        record_rotate(list, 180.0f, 0.0f, 0.0f, 1.0f);
        drawCopy(w, colors, true, list);
        record_scale(list, 1.0f, -1.0f, 1.0f);
        drawCopy(w, colors, true, list);
        record_rotate(list, w.twist, 0.0f, 0.0f, 1.0f);
        record_translate(list, 0.0f, 0.0f, w.zoom);
    }

    record_pop_matrix(list);
}

}  // namespace lumenweave::figure
