// The script parser and what it builds: the command and sequence records, the sequencer's state,
// and the built-in script text.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "script/log.hpp"

namespace lumenweave::script {

struct Sequence;

// The code stored in a command's `type` for each keyword ("frame:" and "relframe:" share one).
// "seqname:" and "seqrepeat:" act while parsing and are never stored.
enum CommandCode : int32_t {
    codeFrame = 0,
    codeAbsframe = 1,
    codeActlim1 = 2,
    codeActlim2 = 3,
    codeActset = 4,
    codeActreset = 5,
    codeActresetall = 6,
    codeActstop = 7,
    codeActstopall = 8,
    codeSeqname = 9,
    codeSeqdo = 10,
    codeSeqstop = 11,
    codeSeqloop = 12,
    codeSeqrepeat = 13,
    codeSeqkill = 14,
    codeSeqkillall = 15,
    codeDuration = 101,
    codeVariance = 102,
    codeRanddelay = 103,
};

struct Command {
    int32_t type = 0;    // the keyword's code (the trace's cmdtype)
    int32_t arg = 0;     // actuator index or sequence number
    float frame = 0.0f;  // frames: time within the sequence (the trace's cmdFrame)
    float value = 0.0f;  // in the unit of what the command sets
    Sequence* seq = nullptr;
    Command* next = nullptr;  // next command in time order
};

struct Sequence {
    int32_t number = 0;
    uint8_t alive = 1;
    float seqFrame = 0.0f;    // frames: the sequence's time origin on the animation clock
    float loopLength = 0.0f;  // frames
    float duration = 300.0f;  // frames: the motion length that "actlim2:" gives an actuator
    float variance = 1.0f;    // 0..1
    Command* first = nullptr;
    Command* current = nullptr;  // next command to run; null: not running
    Command* last = nullptr;
    Sequence* next = nullptr;
};

// Everything the script keeps while it runs: the sequences, the animation clock, the turn in
// progress and where its trace lines and warnings go. It owns its sequences and frees them when
// it goes.
struct Sequencer {
    Sequence* sequenceList = nullptr;  // newest sequence first
    // The sequence of each number in the list (the newest, should two share one), so that naming
    // a sequence costs the same however many the script has.
    std::unordered_map<int32_t, Sequence*> byNumber;
    float currentFrame = 0.0f;  // frames: the animation clock
    // The sequence whose turn it is, and, if one of its own commands killed it, the sequence
    // that followed it at that moment.
    Sequence* turnSequence = nullptr;
    bool turnKilled = false;
    Sequence* turnSuccessor = nullptr;
    // Set by the host before the engine starts; a new start keeps it.
    ScriptLog log;

    Sequencer() = default;
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;
    ~Sequencer();
};

// The script the program carries, NUL-terminated.
extern const char builtinScript[];

// Parses the given text into the sequence list, with the trace on the sequencer's log.
void parseScript(Sequencer& sequencer, const char* text);
// The sequence numbered `number` (the newest, should two share it), or nullptr.
Sequence* findSequence(const Sequencer& sequencer, int32_t number);
// Takes a sequence out of the list; the next older one of the same number, if any, is then the
// one its number names.
void unlinkSequence(Sequencer& sequencer, Sequence* sequence);
// Frees a sequence and its commands; the caller has already unlinked it from the list.
void releaseSequence(Sequence* sequence);
// Frees every sequence, leaving the list empty.
void clearSequences(Sequencer& sequencer);

}  // namespace lumenweave::script
