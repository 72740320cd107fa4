// The frame driver: engine start-up and the per-frame animation step, ring advance and sampling.
#include "engine/frame.hpp"

#include <cmath>
#include <cstdint>

#include "drawlist/drawlist.hpp"
#include "drawlist/opengl.hpp"
#include "engine/actuators.hpp"
#include "engine/history.hpp"
#include "engine/motion.hpp"
#include "engine/random.hpp"
#include "engine/settings.hpp"
#include "figure/figure.hpp"
#include "figure/parameters.hpp"
#include "script/script.hpp"
#include "script/sequencer.hpp"

namespace {

// The frame driver reads only filled slots, so no empty-slot test.
float valueOf(int index) {
    return bank.slot[index]->value;
}

// The remainder keeps the sign of the sum, so the angle stays inside (-360, 360).
float wrapDegrees(float sum) {
    return static_cast<float>(std::fmod(sum, 360.0));
}

int32_t wingCountOf(float v) {
    const double f = std::floor(static_cast<double>(v));
    // Out of the int32 range the count is pinned, and NaN draws nothing, rather than either
    // being left undefined.
    if (std::isnan(f)) {
        return 0;
    }
    if (f < INT32_MIN) {
        return INT32_MIN;
    }
    return f > INT32_MAX ? INT32_MAX : static_cast<int32_t>(f);
}

// Everything a fresh engine needs, the script aside: also what a second start in one process
// must undo (the bank, the ring, the running values, the clock, the sequence list).
void resetEngine() {
    createBank();
    history = HistoryRing{};
    historyState = HistoryState{};
    for (int s = 0; s < historySize; ++s) {
        history.outline[s] = 1;
        history.fill[s] = 1;
    }
    clearSequences();
    currentFrame = 0.0f;
}

// The bank, the ring and the sequences of a start: the script text to parse, or nullptr for the
// configured line source.
void startWithScript(const char* script) {
    resetEngine();
    if (animationSetting) {
        if (script) {
            parseScript(script);
        } else {
            readAnimation();
        }
    }
}

void finishStart() {
    historyState.wingCount = 52;
    historyState.wheelAngle = 0.0f;
}

// Ring advance, animation step and sampling into the newest slot.
void advanceAndSample() {
    HistoryState& st = historyState;
    const bool advancing = st.slotFraction + valueOf(paceIndex) >= 1.0f;
    if (advancing) {
        st.historyIndex = (st.historyIndex + 1) % historySize;
        st.slotFraction = 0.0f;
    }

    if (animationSetting) {
        sequencerPass();
        startMotions();
        stepMotions();
    }

    const int h = st.historyIndex;
    history.zoom[h] = valueOf(zoomIndex);
    history.twist[h] = valueOf(twistIndex);
    history.arm[h] = valueOf(armIndex);
    history.wrist[h] = valueOf(wristIndex);
    st.wingCount = wingCountOf(valueOf(wingCountIndex));
    history.outline[h] = valueOf(outlineIndex) > 0.0f ? 1 : 0;
    float hue = valueOf(hueIndex);
    if (hue >= 1.0f) {
        hue -= 1.0f;
    }
    if (hue < 0.0f) {
        hue += 1.0f;
    }
    history.hue[h] = hue;
    history.lightness[h] = valueOf(lightnessIndex);
    if (advancing) {
        st.flipAngle = wrapDegrees(st.flipAngle + valueOf(flipIndex));
        st.spinAngle = wrapDegrees(st.spinAngle + valueOf(spinIndex));
        history.flipAngle[h] = st.flipAngle;
        history.spinAngle[h] = st.spinAngle;
    }
    st.wheelAngle = wrapDegrees(st.wheelAngle - valueOf(wheelIndex));
}

// Uses the pace as this frame's commands left it.
void advanceSlotFraction() {
    historyState.slotFraction += valueOf(paceIndex);
}

}  // namespace

void initEngine() {
    startWithScript(nullptr);
    seedRandom();
    finishStart();
}

void initEngineWithSeed(uint32_t t) {
    startWithScript(nullptr);
    seedRandomWith(t);
    finishStart();
}

void initEngineWithScript(uint32_t t, const char* script) {
    startWithScript(script);
    seedRandomWith(t);
    finishStart();
}

void advanceFrame() {
    advanceAndSample();
    advanceSlotFraction();
}

void renderFrame(unsigned windowCount) {
    const bool recording = windowCount > 1;
    glClear(GL_COLOR_BUFFER_BIT);
    if (recording) {
        record_clear(GL_COLOR_BUFFER_BIT);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    if (recording) {
        record_color(1.0f, 1.0f, 1.0f);
    }
    advanceAndSample();
    drawFigure(windowCount);
    advanceSlotFraction();
    glFinish();
    if (recording) {
        record_finish();
    }
}
