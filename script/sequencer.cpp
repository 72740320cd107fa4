// The sequencer: once per frame it advances the animation clock and runs, sequence by sequence,
// every command that has fallen due.
#include "script/sequencer.hpp"

#include <algorithm>
#include <cstdio>

#include "engine/actuators.hpp"
#include "engine/random.hpp"
#include "engine/settings.hpp"

float currentFrame = 0.0f;

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

// The sequence whose turn it is, and, if one of its own commands killed it, the sequence that
// followed it at that moment.
Sequence* turnSequence = nullptr;
bool turnKilled = false;
Sequence* turnSuccessor = nullptr;

Sequence* findSequence(int32_t number) {
    Sequence* s = sequenceList;
    while (s && s->number != number) {
        s = s->next;
    }
    return s;
}

bool startsInTime(const Sequence& s) {
    return static_cast<double>(currentFrame) + 0.5 > static_cast<double>(s.seqFrame);
}

bool isDue(const Sequence& s) {
    const float dueAt = s.seqFrame + s.current->frame;
    return static_cast<double>(currentFrame) + 0.5 > static_cast<double>(dueAt);
}

void rebaseClock() {
    currentFrame -= rebaseBy;
    for (Sequence* s = sequenceList; s; s = s->next) {
        s->seqFrame -= rebaseBy;
    }
}

}  // namespace

void sequencerPass() {
    currentFrame += 1.0f;
    if (currentFrame >= rebaseAt) {
        rebaseClock();
    }
    Sequence* s = sequenceList;
    while (s) {
        turnSequence = s;
        turnKilled = false;
        if (startsInTime(*s)) {
            bool returned = false;
            float origin = 0.0f;
            for (int run = 0; run < maxCommandsPerTurn && s->alive && s->current && isDue(*s);
                 ++run) {
                executeCommand(s->current);
                if (turnKilled) {
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
        s = turnKilled ? turnSuccessor : s->next;
    }
    turnSequence = nullptr;
}

void executeCommand(Command* command) {
    Sequence& s = *command->seq;
    const float v = command->value;
    const int32_t n = command->arg;
    if (traceSetting) {
        std::printf("proc: currentFrame %.2f, seq %d,\tseqFrame %f, cmdtype %d, cmdFrame %f\n",
                    currentFrame, s.number, s.seqFrame, command->type, command->frame);
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
            actLim1(n, v);
            break;
        case codeActlim2:
            actLim2(n, v, s.duration, s.variance);
            break;
        case codeActset:
            actSet(n, v);
            break;
        case codeActreset:
            actReset(n);
            break;
        case codeActstop:
            actStop(n);
            break;
        case codeActstopall:
            actStopAll();
            break;
        case codeSeqdo:
            if (Sequence* target = findSequence(n)) {
                target->current = target->first;
                target->seqFrame = currentFrame;
                if (target == &s) {
                    return;
                }
            }
            break;
        case codeSeqstop:
            if (Sequence* target = findSequence(n)) {
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
            if (Sequence* target = findSequence(n)) {
                const bool self = target == &s;
                killSequence(target);
                if (self) {
                    return;
                }
            }
            break;
        case codeSeqkillall:
            for (Sequence* t = sequenceList; t;) {
                Sequence* next = t->next;
                if (t != &s) {
                    killSequence(t);
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
            const float r = skewedRandom(1.0f);
            const float steady = (1.0f - s.variance) * v;
            s.seqFrame = static_cast<float>(static_cast<double>(s.seqFrame) +
                                            2.0 * r * v * s.variance + steady);
            break;
        }
        default:
            std::printf("warning: bad command type (%d) in sequence cmd->seq\n", command->type);
            break;
    }
    s.current = command->next;
}

void killSequence(Sequence* sequence) {
    sequence->alive = 0;
    if (sequence == turnSequence) {
        turnKilled = true;
        turnSuccessor = sequence->next;
    }
    if (sequenceList == sequence) {
        sequenceList = sequence->next;
    } else {
        Sequence* before = sequenceList;
        while (before && before->next != sequence) {
            before = before->next;
        }
        if (before) {
            before->next = sequence->next;
        }
    }
    releaseSequence(sequence);
}
