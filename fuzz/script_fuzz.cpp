// Fuzz target: arbitrary text as an animation script, checked, then parsed and run for a few
// hundred frames of sequencer and motion passes on a freshly started engine.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "frame/frame.hpp"
#include "script/check.hpp"
#include "script/parser.hpp"

using namespace lumenweave;

namespace {

constexpr int framesPerInput = 300;

// Walking the list and each sequence must end, every command must point back at its sequence
// and `last` must be the final command, and each number must name the first sequence of it in
// the list: a fault here would show up later as a crash or a hang.
void checkSequenceList(const script::Sequencer& sequencer) {
    std::size_t sequences = 0;
    std::set<int32_t> numbers;
    for (const script::Sequence* s = sequencer.sequenceList; s; s = s->next) {
        if (++sequences > 1000000) {
            std::abort();
        }
        if (numbers.insert(s->number).second && findSequence(sequencer, s->number) != s) {
            std::abort();
        }
        const script::Command* last = nullptr;
        std::size_t commands = 0;
        for (const script::Command* c = s->first; c; c = c->next) {
            if (c->seq != s || ++commands > 1000000) {
                std::abort();
            }
            last = c;
        }
        if (last != s->last) {
            std::abort();
        }
    }
    if (sequencer.byNumber.size() != numbers.size()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    script::checkScript(text);
    static frame::Engine engine;
    initEngineWithScript(engine, 1, text.c_str());
    checkSequenceList(engine.sequencer);
    for (int frame = 0; frame < framesPerInput; ++frame) {
        advanceFrame(engine);
    }
    checkSequenceList(engine.sequencer);
    return 0;
}
