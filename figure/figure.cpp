// The figure: a column of wings, one per recent history slot, each on a two-joint arm, drawn
// newest first in immediate mode and recorded into the draw list it is given.
#include "figure/figure.hpp"

#include <cstdint>

#include "drawlist/opengl.hpp"

namespace {

constexpr float half = 0.1f;  // the wing square is 0.2 units wide, centred on its origin
constexpr float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};

// Each call is made on the current context and, when there is a list, recorded right after.
void color(const Color& c, draw_list_t* rec) {
    glColor3f(c.red, c.green, c.blue);
    if (rec)
        record_color(*rec, c.red, c.green, c.blue);
}
void pushMatrix(draw_list_t* rec) {
    glPushMatrix();
    if (rec)
        record_push_matrix(*rec);
}
void popMatrix(draw_list_t* rec) {
    glPopMatrix();
    if (rec)
        record_pop_matrix(*rec);
}
void rotate(float angle, float x, float y, float z, draw_list_t* rec) {
    glRotatef(angle, x, y, z);
    if (rec)
        record_rotate(*rec, angle, x, y, z);
}
void translate(float x, float y, float z, draw_list_t* rec) {
    glTranslatef(x, y, z);
    if (rec)
        record_translate(*rec, x, y, z);
}
void scale(float x, float y, float z, draw_list_t* rec) {
    glScalef(x, y, z);
    if (rec)
        record_scale(*rec, x, y, z);
}
void vertex(const float* corner, draw_list_t* rec) {
    glVertex2f(corner[0], corner[1]);
    if (rec)
        record_vertex(*rec, corner[0], corner[1]);
}

// Slot of the i-th wing counted back from the newest slot f.
int slotOf(int f, int64_t i) {
    const int64_t s = (static_cast<int64_t>(f) - i) % historySize;
    return static_cast<int>(s < 0 ? s + historySize : s);
}

struct WingSample {
    float zoom, arm, wrist, twist, mirror, spin, flip;
    uint8_t fill, outline;
};

struct WingColors {
    Color fill, outline;
};

void drawCopy(const WingSample& w, const WingColors& colors, bool scaled, draw_list_t* rec) {
    pushMatrix(rec);
    rotate(w.spin, 0.0f, 0.0f, 1.0f, rec);
    translate(0.0f, w.arm, 0.0f, rec);
    rotate(w.flip, 0.0f, 1.0f, 0.0f, rec);
    translate(w.wrist, 0.0f, 0.0f, rec);
    if (scaled)
        scale(w.mirror, w.mirror, 1.0f, rec);
    if (w.fill != 0) {
        color(colors.fill, rec);
        drawSquare(true, rec);
    }
    if (w.outline != 0) {
        color(colors.outline, rec);
        drawSquare(false, rec);
    }
    popMatrix(rec);
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

void drawSquare(bool filled, draw_list_t* rec) {
    const uint32_t mode = filled ? GL_POLYGON : GL_LINES;
    glBegin(mode);
    if (rec)
        record_begin(*rec, mode);
    if (filled) {
        for (const auto& c : corners)
            vertex(c, rec);
    } else {
        for (int side = 0; side < 4; ++side) {
            vertex(corners[side], rec);
            vertex(corners[(side + 1) % 4], rec);
        }
    }
    glEnd();
    if (rec)
        record_end(*rec);
}

void drawFigure(const HistoryRing& history, const HistoryState& historyState, draw_list_t* rec) {
    const HistoryRing& r = history;
    const int f = historyState.historyIndex;
    const int64_t n = historyState.wingCount;
    const float t = historyState.slotFraction;

    color({1.0f, 1.0f, 1.0f}, rec);
    pushMatrix(rec);
    rotate(historyState.wheelAngle, 1.0f, 0.0f, 0.0f, rec);

    // Step back by half the column's length so that it is centred on the origin.
    for (int64_t i = 0; i < n; ++i) {
        translate(0.0f, 0.0f, -0.5f * sampleHistory(r.zoom, slotOf(f, i), t), rec);
    }

    for (int64_t i = 0; i < n; ++i) {
        const int s = slotOf(f, i);
        const WingSample w = {sampleHistory(r.zoom, s, t),
                              sampleHistory(r.arm, s, t),
                              sampleHistory(r.wrist, s, t),
                              sampleHistory(r.twist, s, t),
                              sampleHistory(r.mirrorScale, s, t),
                              sampleHistoryPeriodic(r.spinAngle, s, t, 360.0f),
                              sampleHistoryPeriodic(r.flipAngle, s, t, 360.0f),
                              r.fill[s],
                              r.outline[s]};
        const float h = sampleHistoryPeriodic(r.hue, s, t, 1.0f);
        const float l = sampleHistoryPeriodic(r.lightness, s, t, 1.0f);
        float h2 = h + 0.5f;
        if (static_cast<double>(h2) > 1.0)
            h2 = h2 - 1.0f;
        const WingColors colors = {hlsToRgb(h, l, 1.0f), hlsToRgb(h2, 1.0f - l, 1.0f)};

        // Four copies under a mirror-and-half-turn pattern; the transforms are left in place
        // and, the two mirrors cancelling, turn the next wing by a half turn plus the twist.
        drawCopy(w, colors, false, rec);
        scale(1.0f, -1.0f, 1.0f, rec);
        drawCopy(w, colors, true, rec);
        rotate(180.0f, 0.0f, 0.0f, 1.0f, rec);
        drawCopy(w, colors, true, rec);
        scale(1.0f, -1.0f, 1.0f, rec);
        drawCopy(w, colors, true, rec);
        rotate(w.twist, 0.0f, 0.0f, 1.0f, rec);
        translate(0.0f, 0.0f, w.zoom, rec);
    }

    popMatrix(rec);
}
