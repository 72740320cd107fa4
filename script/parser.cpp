// The script parser: turns the line-oriented script text into the sequence list of timed
// command records, with the trace echo and dump, through the sequencer's log, when the trace
// setting is on.
#include <cstring>
#include <string>

#include "engine/settings.hpp"
#include "script/log.hpp"
#include "script/parser.hpp"
#include "script/syntax.hpp"

namespace lumenweave::script {

namespace {

// The parser's time cursor, the sequence that stored commands go to and the list it fills.
struct ParseState : TimeCursor {
    Sequencer& sequencer;
    Sequence* open = nullptr;
    std::string trace;  // the trace line being built
};

void endTraceLine(ParseState& state) {
    writeLine(state.sequencer.log, state.trace);
    state.trace.clear();
}

Sequence* newSequence(Sequencer& sequencer, int32_t number) {
    Sequence* s = new Sequence;
    s->number = number;
    s->next = sequencer.sequenceList;
    sequencer.sequenceList = s;
    sequencer.byNumber[number] = s;
    return s;
}

// After every command of lower or equal frame, before the first of greater frame, so equal
// frames keep script order.
void insertInTimeOrder(Sequence* s, Command* c) {
    c->seq = s;
    if (!s->first) {
        s->first = s->last = c;
    } else if (s->last->frame <= c->frame) {
        s->last->next = c;
        s->last = c;
    } else if (s->first->frame > c->frame) {
        c->next = s->first;
        s->first = c;
    } else {
        // Walk on to the first strictly greater time: written as "not greater" so that a "nan"
        // time, which is neither, walks past every command and is appended.
        Command* before = s->first;
        while (before->next && !(before->next->frame > c->frame)) {
            before = before->next;
        }
        c->next = before->next;
        before->next = c;
        if (!c->next) {
            s->last = c;
        }
    }
}

void openSequence(ParseState& state, int32_t number) {
    state.absFrame = state.relFrame = state.parseFrame = 0.0f;
    state.open = findSequence(state.sequencer, number);
    if (!state.open) {
        state.open = newSequence(state.sequencer, number);
    }
}

void echo(const Keyword& k, const Command& c, std::string& out) {
    switch (k.args) {
        case Args::none:
            out += k.word;
            break;
        case Args::real:
            appendFormatted(out, "%s %f", k.word, c.value);
            break;
        case Args::integer:
            appendFormatted(out, "%s %d", k.word, c.arg);
            break;
        case Args::indexAndReal:
            appendFormatted(out, "%s %d, %f", k.word, c.arg, c.value);
            break;
    }
}

// One line, without its line feed; a line of white space only is ignored.
void parseLine(ParseState& state, const char* begin, const char* end) {
    LineWords line;
    if (!splitLine(begin, end, line)) {
        return;
    }
    const char* word = line.word;
    const char* rest = line.rest;

    Command c;
    c.frame = state.parseFrame;
    const Keyword* k = findKeyword(word);
    if (k) {
        c.type = k->type;
        readArguments(*k, rest, c);
        applyTimeCursor(state, c.type, c.value);
        if (engine::traceSetting) {
            echo(*k, c, state.trace);
        }
    } else if (engine::traceSetting && word[0] == '#') {
        state.trace += word;
    } else if (engine::traceSetting) {
        appendFormatted(state.trace, "bad command: %s", word);
    }

    if (k && k->type == codeSeqname) {
        openSequence(state, c.arg);
    } else if (k && k->type == codeSeqrepeat) {
        if (engine::traceSetting) {
            appendFormatted(state.trace, "warning: %s not implemented", k->word);
            endTraceLine(state);
        }
    } else if (k) {
        if (!state.open) {
            state.open = newSequence(state.sequencer, 0);
        }
        insertInTimeOrder(state.open, new Command(c));
        state.open->loopLength = state.relFrame;
    }
    if (engine::traceSetting) {
        state.trace += rest;
        endTraceLine(state);
    }
}

void dumpSequences(const Sequencer& sequencer) {
    std::string line;
    for (const Sequence* s = sequencer.sequenceList; s; s = s->next) {
        line.clear();
        writeLine(sequencer.log, appendFormatted(line, "seq %d at %.2f", s->number, s->seqFrame));
        for (const Command* c = s->first; c; c = c->next) {
            line.clear();
            writeLine(sequencer.log,
                      appendFormatted(line, "  cmd %d,\t%d\t%f", c->type, c->arg, c->value));
        }
    }
}

}  // namespace

void parseScript(Sequencer& sequencer, const char* text) {
    if (engine::traceSetting) {
        writeLine(sequencer.log, "# reading animation...");
    }
    ParseState state{{}, sequencer, nullptr, {}};
    const char* line = text;
    while (*line) {
        const char* end = std::strchr(line, '\n');
        if (!end) {
            end = line + std::strlen(line);
        }
        parseLine(state, line, end);
        line = *end ? end + 1 : end;
    }
    if (Sequence* top = findSequence(sequencer, 0)) {
        top->current = top->first;
    }
    if (engine::traceSetting) {
        writeLine(sequencer.log, "# done reading animation");
        dumpSequences(sequencer);
    }
}

Sequence* findSequence(const Sequencer& sequencer, int32_t number) {
    const auto found = sequencer.byNumber.find(number);
    return found == sequencer.byNumber.end() ? nullptr : found->second;
}

void unlinkSequence(Sequencer& sequencer, Sequence* sequence) {
    if (sequencer.sequenceList == sequence) {
        sequencer.sequenceList = sequence->next;
    } else {
        Sequence* before = sequencer.sequenceList;
        while (before && before->next != sequence) {
            before = before->next;
        }
        if (before) {
            before->next = sequence->next;
        }
    }
    const auto named = sequencer.byNumber.find(sequence->number);
    if (named != sequencer.byNumber.end() && named->second == sequence) {
        // The list runs from newest to oldest, so the next one of that number lies further on.
        Sequence* older = sequence->next;
        while (older && older->number != sequence->number) {
            older = older->next;
        }
        if (older) {
            named->second = older;
        } else {
            sequencer.byNumber.erase(named);
        }
    }
}

void releaseSequence(Sequence* sequence) {
    Command* c = sequence->first;
    while (c) {
        Command* next = c->next;
        delete c;
        c = next;
    }
    delete sequence;
}

void clearSequences(Sequencer& sequencer) {
    while (Sequence* s = sequencer.sequenceList) {
        sequencer.sequenceList = s->next;
        releaseSequence(s);
    }
    sequencer.byNumber.clear();
}

Sequencer::~Sequencer() {
    clearSequences(*this);
}

}  // namespace lumenweave::script
