// The shape of a script line, shared by the parser and the checker: the keyword table, the split
// of a line into its keyword and the text after it, the reading of arguments and the time cursor.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/parser.hpp"

namespace lumenweave::script {

// A keyword and the rest of a line are each held in a buffer of this size: longer words and
// lines are cut to its capacity (a cut word can never match a keyword).
constexpr std::size_t bufferSize = 256;

enum class Args { none, real, integer, indexAndReal };

struct Keyword {
    const char* word;
    CommandCode type;
    Args args;
};

// The keyword spelled exactly `word`, or nullptr.
const Keyword* findKeyword(const char* word);
// Every keyword, in the order of the table; for the checker's suggestions.
const Keyword* keywordsBegin();
const Keyword* keywordsEnd();

struct LineWords {
    char word[bufferSize];  // the first word, cut to the buffer
    char rest[bufferSize];  // everything after it, cut to the buffer
    const char* restBegin;  // the uncut rest within the script text
    const char* restEnd;
};

// Splits one line, without its line feed, into its first word and the rest. Leading white space
// is skipped; false for a line of nothing else, which is ignored, as reading standard input with
// "%[^\n]\n" does.
bool splitLine(const char* begin, const char* end, LineWords& line);
// Reads the keyword's arguments from the rest of its line into `c`, leaving fields it cannot
// read as they were; returns the number of fields read (sscanf's count, EOF for an empty rest).
// When every field was read and `used` is given, it receives how many characters of `rest` the
// arguments took, so the checker can see text stuck to the last number.
int readArguments(const Keyword& k, const char* rest, Command& c, int* used = nullptr);

// The parser's time cursor within the open sequence.
struct TimeCursor {
    float absFrame = 0.0f;    // frames
    float relFrame = 0.0f;    // frames
    float parseFrame = 0.0f;  // frames: the time stamped on the next command
};

// Moves the cursor for a "frame:", "relframe:" or "absframe:" command of value v.
void applyTimeCursor(TimeCursor& cursor, int32_t type, float v);

}  // namespace lumenweave::script
