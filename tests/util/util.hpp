// What the tests share: an engine's actuators and sequences looked up by number, a log that
// collects the script's trace lines, and the log of GL calls that the call tests read.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/actuators.hpp"
#include "script/parser.hpp"

// The actuator in a filled slot of the bank; tests ask only for those.
inline lumenweave::engine::Actuator& act(lumenweave::engine::ActuatorBank& bank, int index) {
    return *lumenweave::engine::findActuator(bank, index);
}

// The sequence numbered `number`, or nullptr, as the script names it.
inline lumenweave::script::Sequence* sequence(const lumenweave::script::Sequencer& sequencer,
                                              int number) {
    return lumenweave::script::findSequence(sequencer, number);
}

// A script log that appends each line, with its line feed, to the string it is given: the text
// the Windows program prints.
inline lumenweave::script::ScriptLog collectInto(std::string& text) {
    return lumenweave::script::ScriptLog{[](void* context, const char* line) {
                                             *static_cast<std::string*>(context) +=
                                                 std::string(line) + "\n";
                                         },
                                         &text};
}

// One logged GL call. The call tests link gl_log.cpp, whose definitions of the GL entry
// points the core uses take the place of the real library and log each call instead of drawing.
struct GlCall {
    std::string name;
    std::vector<double> args;  // floats and integer words both convert to double exactly

    bool operator==(const GlCall& o) const { return name == o.name && args == o.args; }
};

extern std::vector<GlCall> glLog;

// Readable form for failure messages.
std::string toString(const GlCall& call);
void PrintTo(const GlCall& call, std::ostream* os);
