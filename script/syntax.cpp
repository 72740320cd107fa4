// The shape of a script line: the keyword table, the split of a line into its keyword and the rest,
// the reading of arguments and the time cursor, as the parser and the checker both read them.
#include "script/syntax.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace lumenweave::script {

namespace {

constexpr Keyword keywords[] = {
    {"frame:", codeFrame, Args::real},
    {"relframe:", codeFrame, Args::real},
    {"absframe:", codeAbsframe, Args::real},
    {"actlim1:", codeActlim1, Args::indexAndReal},
    {"actlim2:", codeActlim2, Args::indexAndReal},
    {"actset:", codeActset, Args::indexAndReal},
    {"actreset:", codeActreset, Args::integer},
    {"actresetall:", codeActresetall, Args::none},
    {"actstop:", codeActstop, Args::integer},
    {"actstopall:", codeActstopall, Args::none},
    {"seqname:", codeSeqname, Args::integer},
    {"seqdo:", codeSeqdo, Args::integer},
    {"seqstop:", codeSeqstop, Args::integer},
    {"seqloop:", codeSeqloop, Args::none},
    {"seqrepeat:", codeSeqrepeat, Args::integer},
    {"seqkill:", codeSeqkill, Args::integer},
    {"seqkillall:", codeSeqkillall, Args::none},
    {"duration:", codeDuration, Args::real},
    {"variance:", codeVariance, Args::real},
    {"randdelay:", codeRanddelay, Args::real},
};

void copyCut(char (&buffer)[bufferSize], const char* begin, const char* end) {
    const std::size_t n = std::min<std::size_t>(end - begin, bufferSize - 1);
    std::memcpy(buffer, begin, n);
    buffer[n] = '\0';
}

bool isBlank(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

}  // namespace

const Keyword* findKeyword(const char* word) {
    for (const Keyword& k : keywords) {
        if (std::strcmp(k.word, word) == 0) {
            return &k;
        }
    }
    return nullptr;
}

const Keyword* keywordsBegin() {
    return std::begin(keywords);
}

const Keyword* keywordsEnd() {
    return std::end(keywords);
}

bool splitLine(const char* begin, const char* end, LineWords& line) {
    while (begin < end && isBlank(*begin)) {
        ++begin;
    }
    if (begin == end) {
        return false;
    }
    const char* wordEnd = begin;
    while (wordEnd < end && !isBlank(*wordEnd)) {
        ++wordEnd;
    }
    copyCut(line.word, begin, wordEnd);
    copyCut(line.rest, wordEnd, end);
    line.restBegin = wordEnd;
    line.restEnd = end;
    return true;
}

int readArguments(const Keyword& k, const char* rest, Command& c, int* used) {
    // "%n" counts no field, so the parser's count and values are those of the plain formats.
    int n = 0;
    int* const end = used ? used : &n;
    switch (k.args) {
        case Args::none:
            return 0;
        case Args::real:
            return std::sscanf(rest, "%f%n", &c.value, end);
        case Args::integer:
            return std::sscanf(rest, "%d%n", &c.arg, end);
        case Args::indexAndReal:
            return std::sscanf(rest, "%d, %f%n", &c.arg, &c.value, end);
    }
    return 0;
}

void applyTimeCursor(TimeCursor& cursor, int32_t type, float v) {
    if (type == codeFrame) {
        cursor.relFrame += v;
        cursor.parseFrame = cursor.absFrame + cursor.relFrame;
    } else if (type == codeAbsframe) {
        cursor.absFrame = v;
        cursor.relFrame = 0.0f;
        cursor.parseFrame = v;
    }
}

}  // namespace lumenweave::script
