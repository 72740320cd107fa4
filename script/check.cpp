// The script checker: reads every line with the parser's own line, keyword and argument reading,
// keeps the commands the parser would store, and then looks at the references between sequences,
// which sequences start and which loops let time pass.
#include "script/check.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <map>
#include <utility>

#include "engine/actuators.hpp"
#include "engine/indices.hpp"
#include "script/syntax.hpp"

namespace lumenweave::script {

namespace {

// "18, 31, ... and 130".
std::string actuatorList() {
    std::string list;
    const std::size_t count = std::size(engine::actuatorNames);
    for (std::size_t i = 0; i < count; ++i) {
        list += (i == 0           ? ""
                 : i + 1 == count ? " and "
                                  : ", ") +
                std::to_string(engine::actuatorNames[i].index);
    }
    return list;
}

// User text quoted in a message: printable characters only, and not too many of them.
constexpr std::size_t quotedLength = 40;

// A command as the parser stores it.
struct StoredCommand {
    int line = 0;
    int32_t type = 0;
    int32_t arg = 0;
    float frame = 0.0f;  // frames from the sequence's time origin
    float value = 0.0f;
    // The written number did not fit an int: `arg` is whatever the library made of it, which
    // the line's own message covers, so no other message names it.
    bool argOverflowed = false;
};

struct SequenceModel {
    int32_t number = 0;
    int line = 0;                         // where it was first named or given a command
    bool namedByOverflow = false;         // named only by numbers that did not fit an int
    float loopLength = 0.0f;              // frames, as the parser sets it
    std::vector<StoredCommand> commands;  // in script order
};

struct Checker {
    std::vector<ScriptProblem> problems;
    std::deque<SequenceModel> sequences;      // in the order the parser creates them
    std::map<int32_t, std::size_t> byNumber;  // index into `sequences`
    SequenceModel* open = nullptr;            // where stored commands go
    TimeCursor cursor;
};

void report(Checker& ck, int line, std::string message) {
    ck.problems.push_back({line, std::move(message), Severity::error});
}

void warn(Checker& ck, int line, std::string message) {
    ck.problems.push_back({line, std::move(message), Severity::warning});
}

std::string quoted(const char* text) {
    std::string out;
    for (const char* p = text; *p && out.size() < quotedLength; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        out += ch >= 0x20 && ch < 0x7f ? *p : '?';
    }
    if (std::strlen(text) > quotedLength) {
        out += "...";
    }
    return "'" + out + "'";
}

SequenceModel& sequenceNumbered(Checker& ck, int32_t number, int line) {
    const auto found = ck.byNumber.find(number);
    if (found != ck.byNumber.end()) {
        return ck.sequences[found->second];
    }
    ck.byNumber[number] = ck.sequences.size();
    ck.sequences.push_back(SequenceModel{number, line, false, 0.0f, {}});
    return ck.sequences.back();
}

// A slot that holds no actuator takes the command and nothing moves, as the built-in script's
// own slots 17 and 29 show; only a number outside the bank reaches nothing at all.
bool reachesASlot(int32_t index) {
    return index >= 0 && index < engine::bankSize;
}

bool isSequenceKeyword(CommandCode type) {
    return type == codeSeqname || type == codeSeqdo || type == codeSeqstop || type == codeSeqkill ||
           type == codeSeqrepeat;
}

std::string missingArguments(const Keyword& k) {
    const std::string word = std::string("'") + k.word + "'";
    switch (k.args) {
        case Args::real:
            return word + " needs a number";
        case Args::integer:
            return word + (isSequenceKeyword(k.type) ? " needs a sequence number"
                                                     : " needs an actuator number");
        case Args::indexAndReal:
            return word + " needs an actuator number, a comma and a value";
        case Args::none:
            break;
    }
    return word + " needs no arguments";
}

// What follows the whole number that "%d" reads at the start of `text`: nullptr when it does
// not fit an int, else the first character after it.
const char* afterWholeNumber(const char* text) {
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) {
        return nullptr;
    }
    return end;
}

bool startsFraction(const char* p) {
    return *p == '.' || *p == 'e' || *p == 'E';
}

bool isBlankOrEnd(char ch) {
    return ch == '\0' || std::isspace(static_cast<unsigned char>(ch)) != 0;
}

bool isWholeNumberText(const std::string& text) {
    const std::size_t sign = text.find_first_not_of("+-") == 1 ? 1 : 0;
    return text.size() > sign && text.find_first_not_of("0123456789", sign) == std::string::npos;
}

// The parse stops at the end of the last number and ignores the rest of the line, so text
// written onto that number ("2O", "0.0.4", "1,5") is silently lost. `last` is where the last
// number's text starts and `end` where the reading stopped; a remark may follow at once.
void checkStuckText(Checker& ck, int line, const std::string& word, const char* last,
                    const char* end) {
    if (isBlankOrEnd(*end) || *end == '#') {
        return;
    }
    const char* stuckEnd = end;
    while (!isBlankOrEnd(*stuckEnd)) {
        ++stuckEnd;
    }
    const std::string read(last, end);
    const std::string stuck(end, stuckEnd);
    std::string message =
        word + " read " + read + "; " + quoted(stuck.c_str()) + " after it is ignored";
    if (stuck.size() > 1 && stuck[0] == ',' && isWholeNumberText(read) &&
        stuck.find_first_not_of("0123456789", 1) == std::string::npos) {
        message += ": a decimal comma? write " + read + "." + stuck.substr(1);
    }
    warn(ck, line, message);
}

const char* skipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\v' || *p == '\f') {
        ++p;
    }
    return p;
}

// Where the text of the keyword's real number starts, or nullptr when it has none or the text
// before it is not as its format wants; `after` is the end of the whole number, if any.
const char* realStart(const Keyword& k, const char* rest, const char* after) {
    if (k.args == Args::real) {
        return skipBlanks(rest);
    }
    return k.args == Args::indexAndReal && after && *after == ',' ? skipBlanks(after + 1) : nullptr;
}

// Where an exponent mark that no digit follows starts ("1e", "2.5E+", "0x1p"), right after the
// number at `text`, or nullptr. glibc's scanf takes the number as read, the WebAssembly build's
// does not read it at all, so the page and the native programs would run different values.
const char* exponentWithoutDigits(const char* text) {
    const char* digits = text + (*text == '+' || *text == '-' ? 1 : 0);
    const bool hex = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    char* mark = nullptr;
    std::strtof(text, &mark);
    if (mark == text || std::tolower(static_cast<unsigned char>(*mark)) != (hex ? 'p' : 'e')) {
        return nullptr;
    }
    const char* p = mark + 1 + (mark[1] == '+' || mark[1] == '-' ? 1 : 0);
    return std::isdigit(static_cast<unsigned char>(*p)) ? nullptr : mark;
}

// Checks the arguments read from the rest of the line; `fields` is readArguments' count and
// `used` how much of the rest they took when all were read. False when the written number does
// not fit an int, so that nothing else speaks of the value the library made of it.
bool checkArguments(Checker& ck, int line, const Keyword& k, const char* rest, int fields, int used,
                    const Command& c) {
    const std::string word = std::string("'") + k.word + "'";
    const int wanted = k.args == Args::none ? 0 : k.args == Args::indexAndReal ? 2 : 1;
    const bool hasInteger = k.args == Args::integer || k.args == Args::indexAndReal;
    const char* after = hasInteger && fields >= 1 ? afterWholeNumber(rest) : rest;
    if (hasInteger && fields >= 1 && !after) {
        report(ck, line, word + " takes a number from -2147483648 to 2147483647");
        return false;
    }
    if (hasInteger && fields >= 1 && startsFraction(after)) {
        report(ck, line, word + " takes a whole number");
        return true;
    }
    const char* real = realStart(k, rest, after);
    const char* mark = real ? exponentWithoutDigits(real) : nullptr;
    if (mark) {
        // The line runs, with a value that depends on the C library, so the checks of the value
        // would too; the actuator number before it reads alike everywhere and is checked below.
        const std::string number(real, mark);
        warn(ck, line,
             word + " " + number + mark[0] + " has no digits after its exponent: write " + number +
                 " or " + number + mark[0] + "0");
        if (k.args == Args::real) {
            return true;
        }
    } else if (fields < wanted) {
        const char* p = after;
        while (k.args == Args::indexAndReal && fields == 1 && (*p == ' ' || *p == '\t')) {
            ++p;
        }
        if (p != after && *p == ',') {
            report(ck, line, word + " needs the comma right after the actuator number");
        } else {
            report(ck, line, missingArguments(k));
        }
        return true;
    } else if ((k.args == Args::real || k.args == Args::indexAndReal) && !std::isfinite(c.value)) {
        report(ck, line, word + " takes a finite number");
        return true;
    } else if (k.args != Args::none) {
        const char* last = k.args == Args::indexAndReal ? skipBlanks(after + 1) : skipBlanks(rest);
        checkStuckText(ck, line, word, last, rest + used);
    }
    switch (k.type) {
        case codeActlim1:
        case codeActlim2:
        case codeActset:
        case codeActreset:
        case codeActstop:
            if (!reachesASlot(c.arg)) {
                report(ck, line,
                       "actuator " + std::to_string(c.arg) + " reaches no slot: slots are 0 to " +
                           std::to_string(engine::bankSize - 1) + ", and the actuators are " +
                           actuatorList());
            }
            break;
        case codeDuration:
            if (c.value < 1.0f) {
                warn(ck, line, "'duration:' below 1 frame is taken as 1");
            }
            break;
        case codeVariance:
            if (c.value < 0.0f || c.value > 1.0f) {
                report(ck, line, "'variance:' takes a number from 0 to 1");
            }
            break;
        case codeRanddelay:
            if (c.value < 0.0f) {
                report(ck, line, "'randdelay:' takes a delay of 0 frames or more");
            }
            break;
        case codeActresetall:
            report(ck, line, "'actresetall:' does nothing: reset each actuator with 'actreset:'");
            break;
        case codeSeqrepeat:
            report(ck, line, "'seqrepeat:' is not implemented and does nothing");
            break;
        default:
            break;
    }
    return true;
}

// Text after a keyword is read from a buffer of 255 characters; what a longer line loses only
// matters when it is not blank and not behind a remark.
void checkLength(Checker& ck, int line, const Keyword& k, const LineWords& words) {
    const std::size_t kept = bufferSize - 1;
    if (static_cast<std::size_t>(words.restEnd - words.restBegin) <= kept ||
        std::strchr(words.rest, '#')) {
        return;
    }
    for (const char* p = words.restBegin + kept; p < words.restEnd; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\v' && *p != '\f') {
            report(ck, line,
                   std::string("the text after '") + k.word +
                       "' is longer than 255 characters: the rest of the line is ignored");
            return;
        }
    }
}

// Whether the first n characters of a and b agree but for case; both hold at least n.
bool sameLetters(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Names the keyword a word was probably meant to be: one in other case, one without its colon,
// or one with its argument written on without a space.
std::string badCommand(const char* word) {
    const std::size_t n = std::strlen(word);
    for (const Keyword* k = keywordsBegin(); k != keywordsEnd(); ++k) {
        const std::size_t kn = std::strlen(k->word);
        if ((n == kn || n + 1 == kn) && sameLetters(word, k->word, n)) {
            return "bad command " + quoted(word) + ": did you mean '" + k->word + "'?";
        }
        if (n > kn && sameLetters(word, k->word, kn)) {
            return "bad command " + quoted(word) + ": put a space after '" + k->word + "'";
        }
    }
    return "bad command " + quoted(word);
}

void checkLine(Checker& ck, int line, const char* begin, const char* end) {
    LineWords words;
    if (!splitLine(begin, end, words)) {
        return;
    }
    const Keyword* k = findKeyword(words.word);
    if (!k) {
        if (words.word[0] != '#') {
            report(ck, line, badCommand(words.word));
        }
        return;
    }
    Command c;
    c.frame = ck.cursor.parseFrame;
    int used = 0;
    const int fields = readArguments(*k, words.rest, c, &used);
    const bool argFits = checkArguments(ck, line, *k, words.rest, fields, used, c);
    checkLength(ck, line, *k, words);
    applyTimeCursor(ck.cursor, k->type, c.value);

    if (k->type == codeSeqname) {
        ck.cursor = TimeCursor{};
        const bool isNew = !ck.byNumber.count(c.arg);
        ck.open = &sequenceNumbered(ck, c.arg, line);
        ck.open->namedByOverflow = (isNew || ck.open->namedByOverflow) && !argFits;
    } else if (k->type != codeSeqrepeat) {
        if (!ck.open) {
            ck.open = &sequenceNumbered(ck, 0, line);
        }
        ck.open->commands.push_back({line, k->type, c.arg, c.frame, c.value, !argFits});
        ck.open->loopLength = ck.cursor.relFrame;
    }
}

void checkReferences(Checker& ck) {
    for (const SequenceModel& s : ck.sequences) {
        for (const StoredCommand& c : s.commands) {
            const bool names =
                c.type == codeSeqdo || c.type == codeSeqstop || c.type == codeSeqkill;
            if (names && !c.argOverflowed && !ck.byNumber.count(c.arg)) {
                report(ck, c.line,
                       "sequence " + std::to_string(c.arg) +
                           " does not exist: no 'seqname: " + std::to_string(c.arg) + "'" +
                           (c.arg == 0 ? " and no command before the first 'seqname:'" : ""));
            }
        }
    }
}

// Sequence 0 starts by itself; every other one only through a "seqdo:" in a sequence that
// starts.
void checkStarts(Checker& ck) {
    std::vector<bool> started(ck.sequences.size(), false);
    std::deque<std::size_t> waiting;
    if (ck.byNumber.count(0)) {
        started[ck.byNumber[0]] = true;
        waiting.push_back(ck.byNumber[0]);
    }
    while (!waiting.empty()) {
        const SequenceModel& s = ck.sequences[waiting.front()];
        waiting.pop_front();
        for (const StoredCommand& c : s.commands) {
            const auto target = ck.byNumber.find(c.arg);
            if (c.type == codeSeqdo && target != ck.byNumber.end() && !started[target->second]) {
                started[target->second] = true;
                waiting.push_back(target->second);
            }
        }
    }
    for (std::size_t i = 0; i < ck.sequences.size(); ++i) {
        if (!started[i] && !ck.sequences[i].namedByOverflow) {
            const std::string n = std::to_string(ck.sequences[i].number);
            report(ck, ck.sequences[i].line,
                   "sequence " + n + " never starts: no sequence that runs has 'seqdo: " + n + "'");
        }
    }
}

// The positive "randdelay:" commands of a sequence in its time order (a time that is not a number
// comes before nothing and after nothing), with the longest wait that those up to each one can
// add: a delay of d frames waits less than 2 d.
struct DelayTotals {
    std::vector<std::pair<float, std::size_t>> at;  // time and script order within the sequence
    std::vector<float> upTo;                        // frames, the longest wait up to `at[i]`
};

DelayTotals delayTotals(const SequenceModel& s) {
    DelayTotals d;
    for (std::size_t i = 0; i < s.commands.size(); ++i) {
        const StoredCommand& c = s.commands[i];
        if (c.type == codeRanddelay && c.value > 0.0f && !std::isnan(c.frame)) {
            d.at.push_back({c.frame, i});
        }
    }
    std::sort(d.at.begin(), d.at.end());
    float total = 0.0f;
    for (const auto& [frame, i] : d.at) {
        total += 2.0f * s.commands[i].value;
        d.upTo.push_back(total);
    }
    return d;
}

// The longest wait of the delays that run before command `c` of the sequence, in frames.
float longestDelayBefore(const DelayTotals& d, const SequenceModel& s, std::size_t c) {
    if (std::isnan(s.commands[c].frame)) {
        return 0.0f;
    }
    const auto end =
        std::lower_bound(d.at.begin(), d.at.end(), std::make_pair(s.commands[c].frame, c));
    return end == d.at.begin() ? 0.0f : d.upTo[end - d.at.begin() - 1];
}

// A "seqloop:" moves the sequence's time origin on by its loop length and the delays of the
// round; a "seqdo:" of the sequence itself sets it to now, so its own time and the delays before
// it must reach the next frame. Otherwise the sequencer runs the round again in the same frame.
void checkLoops(Checker& ck) {
    for (const SequenceModel& s : ck.sequences) {
        const DelayTotals delays = delayTotals(s);
        for (std::size_t i = 0; i < s.commands.size(); ++i) {
            const StoredCommand& c = s.commands[i];
            if (c.type == codeSeqloop && std::isfinite(s.loopLength) &&
                s.loopLength + longestDelayBefore(delays, s, i) <= 0.0f) {
                report(ck, c.line,
                       "'seqloop:' lets no time pass: each round runs again in the same frame "
                       "(give it a 'relframe:' or 'randdelay:')");
            } else if (c.type == codeSeqdo && c.arg == s.number && !c.argOverflowed &&
                       std::isfinite(c.frame) &&
                       c.frame + longestDelayBefore(delays, s, i) < 0.5f) {
                report(ck, c.line,
                       "'seqdo: " + std::to_string(c.arg) +
                           "' restarts its own sequence in the same frame (give it a "
                           "'relframe:' or 'randdelay:' before)");
            }
        }
    }
}

}  // namespace

std::vector<ScriptProblem> checkScript(std::string_view text) {
    Checker ck;
    const std::size_t nul = text.find('\0');
    const std::string_view read = text.substr(0, nul);
    int line = 1;
    std::size_t at = 0;
    while (at < read.size()) {
        std::size_t end = read.find('\n', at);
        if (end == std::string_view::npos) {
            end = read.size();
        }
        checkLine(ck, line, read.data() + at, read.data() + end);
        at = end + 1;
        ++line;
    }
    if (nul != std::string_view::npos) {
        report(ck, line - (at > read.size() ? 1 : 0),
               "a NUL character ends the script here: the rest is ignored");
    }
    checkReferences(ck);
    checkStarts(ck);
    checkLoops(ck);
    std::stable_sort(
        ck.problems.begin(), ck.problems.end(),
        [](const ScriptProblem& a, const ScriptProblem& b) { return a.line < b.line; });
    return ck.problems;
}

bool hasErrors(const std::vector<ScriptProblem>& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const ScriptProblem& p) { return p.severity == Severity::error; });
}

std::string formatProblem(std::string_view file, const ScriptProblem& problem) {
    return std::string(file) + ":" + std::to_string(problem.line) + ": " +
           (problem.severity == Severity::warning ? "warning: " : "") + problem.message;
}

}  // namespace lumenweave::script
