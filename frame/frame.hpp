// The frame driver: the engine's whole state in one record, its start-up, and one frame of
// animation recorded into a draw list.
#pragma once

#include <cstdint>

#include "drawlist/drawlist.hpp"
#include "engine/actuators.hpp"
#include "engine/history.hpp"
#include "engine/random.hpp"
#include "script/parser.hpp"

namespace lumenweave::frame {

// Everything the animation keeps from one frame to the next. A program has one, which its host
// owns; tools and tests start as many fresh ones as they need.
struct Engine {
    engine::ActuatorBank bank;
    engine::rand48 randomState;
    engine::HistoryRing history{};
    engine::HistoryState historyState;
    script::Sequencer sequencer;
};

// Builds the bank, sets the ring's flags, parses the built-in script and seeds the generator
// from t, which the host gives (the Windows program the calendar time in seconds, tools a
// --seed). Whatever the engine held before is gone, but for the sequencer's log.
void initEngineWithSeed(Engine& engine, uint32_t t);
// initEngineWithSeed running the given script text instead of the built-in one.
void initEngineWithScript(Engine& engine, uint32_t t, const char* script);
// Empties the list, advances the animation one frame and records the frame into the list: the
// clear, the figure in white and then in its colours, and the finish.
void recordFrame(Engine& engine, drawlist::draw_list_t& list);
// recordFrame without the recording: the ring advance, the animation step, the sampling and the
// slot-fraction update. For tools that only follow the numbers.
void advanceFrame(Engine& engine);

}  // namespace lumenweave::frame
