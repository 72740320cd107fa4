// The sequencer: once per frame it advances the animation clock and runs, sequence by sequence,
// every command that has fallen due.
#include "script/sequencer.hpp"

#include <algorithm>
#include <string>

#include "engine/settings.hpp"
#include "script/log.hpp"

namespace lumenweave::script {

namespace {

// The clock is single precision and would stop at 2^24 frames (about 77 hours at 60 fps). When it
// reaches 2^23 it and every sequence's time origin move back by 2^22, which leaves all due
// times where they were relative to the clock; in that range the subtraction is exact.
constexpr float rebaseAt = 8388608.0f;
constexpr float rebaseBy = 4194304.0f;

// A sequence that comes back to a due command without time passing (a loop with no delay, a
// seqdo of itself) would never give up its turn. Going back to its first command once runs those
// commands again in the same turn; going back again without its time origin having moved forward
// in between ends the turn. Delays too small to carry the origin past the clock are cut off after
// this many commands.
constexpr int maxCommandsPerTurn = 4096;

bool startsInTime(float currentFrame, const Sequence& s) {
    return static_cast<double>(currentFrame) + 0.5 > static_cast<double>(s.seqFrame);
}

bool isDue(float currentFrame, const Sequence& s) {
    const float dueAt = s.seqFrame + s.current->frame;
    return static_cast<double>(currentFrame) + 0.5 > static_cast<double>(dueAt);
}

void rebaseClock(Sequencer& sequencer) {
    sequencer.currentFrame -= rebaseBy;
    for (Sequence* s = sequencer.sequenceList; s; s = s->next) {
        s->seqFrame -= rebaseBy;
    }
}

}  // namespace

void sequencerPass(Sequencer& sequencer, engine::ActuatorBank& bank, engine::rand48& random) {
    sequencer.currentFrame += 1.0f;
    if (sequencer.currentFrame >= rebaseAt) {
        rebaseClock(sequencer);
    }
    Sequence* s = sequencer.sequenceList;
    while (s) {
        sequencer.turnSequence = s;
        sequencer.turnKilled = false;
        if (startsInTime(sequencer.currentFrame, *s)) {
            bool returned = false;
            float origin = 0.0f;
            for (int run = 0; run < maxCommandsPerTurn && s->alive && s->current &&
                              isDue(sequencer.currentFrame, *s);
                 ++run) {
                executeCommand(sequencer, bank, random, s->current);
                if (sequencer.turnKilled) {
                    break;
                }
                // Moving on never leads to the first command, so this is a return to the start.
                if (s->current == s->first) {
                    if (returned && !(s->seqFrame > origin)) {
                        break;
                    }
                    returned = true;
                    origin = s->seqFrame;
                }
            }
        }
        s = sequencer.turnKilled ? sequencer.turnSuccessor : s->next;
    }
    sequencer.turnSequence = nullptr;
}

void executeCommand(Sequencer& sequencer, engine::ActuatorBank& bank, engine::rand48& random,
                    Command* command) {
    Sequence& s = *command->seq;
    const float v = command->value;
    const int32_t n = command->arg;
    if (engine::traceSetting) {
        std::string line;
        writeLine(sequencer.log,
                  appendFormatted(line,
                                  "proc: currentFrame %.2f, seq %d,\tseqFrame %f, cmdtype %d, "
                                  "cmdFrame %f",
                                  sequencer.currentFrame, s.number, s.seqFrame, command->type,
                                  command->frame));
    }
    switch (command->type) {
        // The time cursor did its work while parsing; "actresetall:" changes no actuator.
        case codeFrame:
        case codeAbsframe:
        case codeActresetall:
        case codeSeqname:
        case codeSeqrepeat:
            break;
        case codeActlim1:
            actLim1(bank, n, v);
            break;
        case codeActlim2:
            actLim2(bank, n, v, s.duration, s.variance);
            break;
        case codeActset:
            actSet(bank, n, v);
            break;
        case codeActreset:
            actReset(bank, n);
            break;
        case codeActstop:
            actStop(bank, n);
            break;
        case codeActstopall:
            actStopAll(bank);
            break;
        case codeSeqdo:
            if (Sequence* target = findSequence(sequencer, n)) {
                target->current = target->first;
                target->seqFrame = sequencer.currentFrame;
                if (target == &s) {
                    return;
                }
            }
            break;
        case codeSeqstop:
            if (Sequence* target = findSequence(sequencer, n)) {
                target->current = nullptr;
                if (target == &s) {
                    return;
                }
            }
            break;
        case codeSeqloop:
            s.current = s.first;
            s.seqFrame = s.seqFrame + s.loopLength;
            return;
        case codeSeqkill:
            if (Sequence* target = findSequence(sequencer, n)) {
                const bool self = target == &s;
                killSequence(sequencer, target);
                if (self) {
                    return;
                }
            }
            break;
        case codeSeqkillall:
            for (Sequence* t = sequencer.sequenceList; t;) {
                Sequence* next = t->next;
                if (t != &s) {
                    killSequence(sequencer, t);
                }
                t = next;
            }
            break;
        // Both limits are written so that a "nan" argument takes the lower one.
        case codeDuration:
            s.duration = v >= 1.0f ? v : 1.0f;
            break;
        case codeVariance:
            s.variance = v > 0.0f ? std::min(v, 1.0f) : 0.0f;
            break;
        case codeRanddelay: {
            const float r = skewedRandom(random, 1.0f);
            const float steady = (1.0f - s.variance) * v;
            s.seqFrame = static_cast<float>(static_cast<double>(s.seqFrame) +
                                            2.0 * r * v * s.variance + steady);
            break;
        }
        default: {
            std::string line;
            writeLine(sequencer.log,
                      appendFormatted(line, "warning: bad command type (%d) in sequence cmd->seq",
                                      command->type));
            break;
        }
    }
    s.current = command->next;
}

void killSequence(Sequencer& sequencer, Sequence* sequence) {
    sequence->alive = 0;
    if (sequence == sequencer.turnSequence) {
        sequencer.turnKilled = true;
        sequencer.turnSuccessor = sequence->next;
    }
    unlinkSequence(sequencer, sequence);
    releaseSequence(sequence);
}

}  // namespace lumenweave::script
