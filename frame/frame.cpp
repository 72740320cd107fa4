// The frame driver: engine start-up, and one frame's animation step, ring advance and sampling
// around the recording of its drawing.
#include "frame/frame.hpp"

#include <cmath>
#include <cstdint>

#include "engine/indices.hpp"
#include "engine/motion.hpp"
#include "engine/settings.hpp"
#include "figure/figure.hpp"
#include "script/sequencer.hpp"

namespace lumenweave::frame {

namespace {

// The frame driver reads only filled slots, so no empty-slot test.
float valueOf(const engine::ActuatorBank& bank, int index) {
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

// Everything a fresh engine needs, the script aside: also what a second start of the same engine
// must undo (the bank, the ring, the running values, the clock, the sequence list).
void resetEngine(Engine& engine) {
    createBank(engine.bank);
    engine.history = engine::HistoryRing{};
    engine.historyState = engine::HistoryState{};
    for (int s = 0; s < engine::historySize; ++s) {
        engine.history.outline[s] = 1;
        engine.history.fill[s] = 1;
    }
    clearSequences(engine.sequencer);
    engine.sequencer.currentFrame = 0.0f;
}

// The bank, the ring and the sequences of a start, with the script text to parse.
void startWithScript(Engine& engine, const char* script) {
    resetEngine(engine);
    if (engine::animationSetting) {
        parseScript(engine.sequencer, script);
    }
}

void finishStart(Engine& engine) {
    engine.historyState.wingCount = engine::defaultWingCount;
    engine.historyState.wheelAngle = 0.0f;
}

// Ring advance, animation step and sampling into the newest slot.
void advanceAndSample(Engine& engine) {
    const engine::ActuatorBank& bank = engine.bank;
    engine::HistoryRing& history = engine.history;
    engine::HistoryState& st = engine.historyState;
    const bool advancing = st.slotFraction + valueOf(bank, engine::paceIndex) >= 1.0f;
    if (advancing) {
        st.historyIndex = (st.historyIndex + 1) % engine::historySize;
        st.slotFraction = 0.0f;
    }

    if (engine::animationSetting) {
        sequencerPass(engine.sequencer, engine.bank, engine.randomState);
        startMotions(engine.bank, engine.randomState);
        stepMotions(engine.bank);
    }

    const int h = st.historyIndex;
    history.zoom[h] = valueOf(bank, engine::zoomIndex);
    history.twist[h] = valueOf(bank, engine::twistIndex);
    history.arm[h] = valueOf(bank, engine::armIndex);
    history.wrist[h] = valueOf(bank, engine::wristIndex);
    st.wingCount = wingCountOf(valueOf(bank, engine::wingCountIndex));
    history.outline[h] = valueOf(bank, engine::outlineIndex) > 0.0f ? 1 : 0;
    float hue = valueOf(bank, engine::hueIndex);
    if (hue >= 1.0f) {
        hue -= 1.0f;
    }
    if (hue < 0.0f) {
        hue += 1.0f;
    }
    history.hue[h] = hue;
    history.lightness[h] = valueOf(bank, engine::lightnessIndex);
    if (advancing) {
        st.flipAngle = wrapDegrees(st.flipAngle + valueOf(bank, engine::flipIndex));
        st.spinAngle = wrapDegrees(st.spinAngle + valueOf(bank, engine::spinIndex));
        history.flipAngle[h] = st.flipAngle;
        history.spinAngle[h] = st.spinAngle;
    }
    st.wheelAngle = wrapDegrees(st.wheelAngle - valueOf(bank, engine::wheelIndex));
}

// Uses the pace as this frame's commands left it.
void advanceSlotFraction(Engine& engine) {
    engine.historyState.slotFraction += valueOf(engine.bank, engine::paceIndex);
}

}  // namespace

void initEngineWithSeed(Engine& engine, uint32_t t) {
    startWithScript(engine, script::builtinScript);
    seedRandomWith(engine.randomState, t);
    finishStart(engine);
}

void initEngineWithScript(Engine& engine, uint32_t t, const char* script) {
    startWithScript(engine, script);
    seedRandomWith(engine.randomState, t);
    finishStart(engine);
}

void advanceFrame(Engine& engine) {
    advanceAndSample(engine);
    advanceSlotFraction(engine);
}

void recordFrame(Engine& engine, drawlist::draw_list_t& list) {
    clear_draw_list(list);
    record_clear(list, drawlist::draw_clear_color);
    record_color(list, 1.0f, 1.0f, 1.0f);
    advanceAndSample(engine);
    figure::drawFigure(engine.history, engine.historyState, list);
    advanceSlotFraction(engine);
    record_finish(list);
}

}  // namespace lumenweave::frame
