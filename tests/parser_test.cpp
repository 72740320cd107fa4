// The script parser: keywords and arguments, the time cursor, sequences and their merging, and
// what it makes of lines it does not understand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/parser.hpp"
#include "script/sequencer.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

struct Cmd {
    int type;
    int arg;
    float frame;
    float value;
    bool operator==(const Cmd& o) const {
        return type == o.type && arg == o.arg && frame == o.frame && value == o.value;
    }
};

std::ostream& operator<<(std::ostream& os, const Cmd& c) {
    return os << "{" << c.type << ", " << c.arg << ", " << c.frame << ", " << c.value << "}";
}

// A fresh sequencer for each test; parse adds to it as the parser does.
class Parser : public ::testing::Test {
  protected:
    script::Sequencer sequencer;

    void parse(const std::string& text) {
        clearSequences(sequencer);
        parseScript(sequencer, text.c_str());
    }
    std::vector<int> listNumbers() const;
    std::vector<Cmd> commands(int number) const;
};

std::vector<int> Parser::listNumbers() const {
    std::vector<int> numbers;
    for (const script::Sequence* s = sequencer.sequenceList; s; s = s->next) {
        numbers.push_back(s->number);
    }
    return numbers;
}

std::vector<Cmd> Parser::commands(int number) const {
    std::vector<Cmd> out;
    const script::Sequence* s = sequence(sequencer, number);
    for (const script::Command* c = s ? s->first : nullptr; c; c = c->next) {
        EXPECT_EQ(c->seq, s);
        out.push_back({c->type, c->arg, c->frame, c->value});
        if (!c->next) {
            EXPECT_EQ(c, s->last);
        }
    }
    return out;
}

TEST_F(Parser, BuiltInScriptGivesNineSequencesWithOnlyTheTopLevelRunning) {
    parse(script::builtinScript);
    EXPECT_EQ(listNumbers(), (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0}));
    const std::vector<std::size_t> sizes = {3, 3, 3, 8, 9, 3, 7, 3, 15};
    int i = 0;
    for (const script::Sequence* s = sequencer.sequenceList; s; s = s->next, ++i) {
        EXPECT_EQ(commands(s->number).size(), sizes[i]) << "sequence " << s->number;
        EXPECT_EQ(s->current, s->number == 0 ? s->first : nullptr);
        EXPECT_EQ(s->loopLength, 0.0f);
        EXPECT_EQ(s->seqFrame, 0.0f);
        EXPECT_EQ(s->duration, 300.0f);
        EXPECT_EQ(s->variance, 1.0f);
        EXPECT_EQ(s->alive, 1);
    }
    EXPECT_EQ(commands(4), (std::vector<Cmd>{{101, 0, 0, 100},
                                             {2, 80, 0, 0.23f},
                                             {3, 80, 0, -0.23f},
                                             {103, 0, 0, 1000},
                                             {101, 0, 0, 40},
                                             {2, 80, 0, 5.23f},
                                             {3, 80, 0, -5.23f},
                                             {103, 0, 0, 200},
                                             {12, 0, 0, 0}}));
    EXPECT_EQ(commands(0).front(), (Cmd{4, 29, 0, 1.0f}));
    EXPECT_EQ(commands(0).back(), (Cmd{10, 8, 0, 0}));
}

TEST_F(Parser, EveryKeywordStoresItsCodeAndArguments) {
    parse(
        "frame: 1\nrelframe: 2\nabsframe: 3\nactlim1: 4, 5\nactlim2: 6, 7\nactset: 8, 9\n"
        "actreset: 10\nactresetall:\nactstop: 11\nactstopall:\nseqdo: 12\nseqstop: 13\n"
        "seqloop:\nseqkill: 14\nseqkillall:\nduration: 15\nvariance: 0.5\nrandrelay: 1\n"
        "randdelay: 16");
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{0, 0, 0, 1},
                                             {0, 0, 1, 2},
                                             {1, 0, 3, 3},
                                             {2, 4, 3, 5},
                                             {3, 6, 3, 7},
                                             {4, 8, 3, 9},
                                             {5, 10, 3, 0},
                                             {6, 0, 3, 0},
                                             {7, 11, 3, 0},
                                             {8, 0, 3, 0},
                                             {10, 12, 3, 0},
                                             {11, 13, 3, 0},
                                             {12, 0, 3, 0},
                                             {14, 14, 3, 0},
                                             {15, 0, 3, 0},
                                             {101, 0, 3, 15},
                                             {102, 0, 3, 0.5f},
                                             {103, 0, 3, 16}}));
}

TEST_F(Parser, TheTimeCursorStampsCommandsAfterItAndSetsTheLoopLength) {
    parse("relframe: 10\nactset: 31, 1\nabsframe: 100\nrelframe: 5\nseqloop:");
    EXPECT_EQ(
        commands(0),
        (std::vector<Cmd>{
            {0, 0, 0, 10}, {4, 31, 10, 1}, {1, 0, 10, 100}, {0, 0, 100, 5}, {12, 0, 105, 0}}));
    EXPECT_EQ(sequence(sequencer, 0)->loopLength, 5.0f);

    // Negative and fractional steps; commands go in time order, not script order.
    parse("frame: 2.5\nactset: 1, 1\nframe: -2\nactset: 2, 2\nframe: -1\nactset: 3, 3");
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{4, 3, -0.5f, 3},
                                             {0, 0, 0, 2.5f},
                                             {4, 2, 0.5f, 2},
                                             {0, 0, 0.5f, -1},
                                             {4, 1, 2.5f, 1},
                                             {0, 0, 2.5f, -2}}));
    EXPECT_EQ(sequence(sequencer, 0)->loopLength, -0.5f);
}

TEST_F(Parser, ANanTimeKeepsTheSequenceWellFormedAndInOrder) {
    parse(
        "frame: nan\nactset: 2, 2\nseqname: 0\nactset: 3, 3\nframe: 1\nactset: 4, 4\n"
        "seqname: 0\nframe: 0.5\nactset: 5, 5\nframe: nan\nactset: 6, 6");
    // No time is greater than "nan" and "nan" is greater than none, so such commands are
    // appended, and a later command goes before the first time greater than its own.
    std::vector<int> order;
    for (const Cmd& c : commands(0)) {
        order.push_back(c.type == 4 ? c.arg : -1);
    }
    EXPECT_EQ(order, (std::vector<int>{-1, 2, 3, -1, -1, 5, -1, 4, 6}));
}

TEST_F(Parser, AReopenedSequenceMergesByTimeWithEqualFramesInScriptOrder) {
    parse(
        "seqname: 3\nactset: 1, 1\nframe: 10\nactset: 2, 2\nframe: 10\nactset: 3, 3\n"
        "seqname: 4\nactset: 9, 9\n"
        "seqname: 3\nactset: 4, 4\nframe: 10\nactset: 5, 5\nframe: 20\nactset: 6, 6\n");
    EXPECT_EQ(listNumbers(), (std::vector<int>{4, 3}));
    const std::vector<Cmd> all = commands(3);
    std::vector<int> order;
    for (const Cmd& c : all) {
        if (c.type == 4) {
            order.push_back(c.arg);
        }
    }
    EXPECT_EQ(order, (std::vector<int>{1, 4, 2, 5, 3, 6}));
    EXPECT_EQ(sequence(sequencer, 3)->loopLength, 30.0f);
    // No sequence 0: nothing runs.
    EXPECT_EQ(sequence(sequencer, 0), nullptr);
    EXPECT_EQ(sequence(sequencer, 3)->current, nullptr);
    EXPECT_EQ(sequence(sequencer, 4)->current, nullptr);
}

TEST_F(Parser, TopLevelCommandsAfterABlockNeedSeqnameZero) {
    parse("actset: 1, 1\nseqname: 2\nactset: 2, 2\nseqname: 0\nactset: 3, 3");
    EXPECT_EQ(listNumbers(), (std::vector<int>{2, 0}));
    EXPECT_EQ(commands(0).size(), 2u);
    EXPECT_EQ(commands(2).size(), 1u);
    EXPECT_EQ(sequence(sequencer, 0)->current, sequence(sequencer, 0)->first);
}

// Parsed onto a list that holds sequence 0 already, commands before the first "seqname:" open a
// second 0: its number names the newer one until that one is killed, then the older one.
TEST_F(Parser, ANumberNamesItsNewestSequenceUntilThatOneIsKilled) {
    parse("actset: 1, 1\nseqname: 2\n");
    script::Sequence* older = sequence(sequencer, 0);
    parseScript(sequencer, "actset: 3, 3\n");
    EXPECT_EQ(listNumbers(), (std::vector<int>{0, 2, 0}));
    script::Sequence* newer = sequencer.sequenceList;
    EXPECT_EQ(findSequence(sequencer, 0), newer);
    killSequence(sequencer, newer);
    EXPECT_EQ(findSequence(sequencer, 0), older);
    killSequence(sequencer, sequence(sequencer, 2));
    EXPECT_EQ(findSequence(sequencer, 0), older);
    killSequence(sequencer, older);
    EXPECT_EQ(findSequence(sequencer, 0), nullptr);
    EXPECT_EQ(sequencer.sequenceList, nullptr);
}

TEST_F(Parser, CommasRemarksAndMissingArguments) {
    parse(
        "actlim2: 101,  1.5\n"
        "actlim2: 101 , 1.5\n"
        "actset: 29, 1.0\t\t# \"full\"\n"
        "actset: 38,60\n"
        "actset: x, 2\n"
        "duration:\n"
        "seqdo: 3 # 4\n"
        "actset: 5, 1e2\n");
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{3, 101, 0, 1.5f},
                                             {3, 101, 0, 0},
                                             {4, 29, 0, 1},
                                             {4, 38, 0, 60},
                                             {4, 0, 0, 0},
                                             {101, 0, 0, 0},
                                             {10, 3, 0, 0},
                                             {4, 5, 0, 100}}));
}

TEST_F(Parser, CommentsBadCommandsAndIgnoredLines) {
    parse(
        "# actset: 73, 0.107258\n"
        "#actset: 80, 0.23\n"
        "actset 80, 0.23\n"
        "ACTSET: 80, 0.23\n"
        "seqrepeat: 1\n"
        "\n"
        "   \t\n"
        "\tactset: 1, 2\n"
        "  seqname: 5\n"
        "actset: 3, 4\r\n");
    EXPECT_EQ(listNumbers(), (std::vector<int>{5, 0}));
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{4, 1, 0, 2}}));
    EXPECT_EQ(commands(5), (std::vector<Cmd>{{4, 3, 0, 4}}));
}

TEST_F(Parser, OverlongWordsAndLinesAreCutSafely) {
    const std::string longWord(1000, 'x');
    const std::string longComment = "#" + std::string(600, 'y');
    const std::string longRest = "actset: 7, 2.5" + std::string(400, ' ') + "99, 1";
    parse(longWord + " 1, 2\n" + longComment + "\n" + longRest + "\n" + "actset: 8, 3" +
          std::string(5000, '\t') + "\nactset: 9, 4");
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{4, 7, 0, 2.5f}, {4, 8, 0, 3}, {4, 9, 0, 4}}));
    // The arguments come from the first 255 characters after the keyword only.
    parse("actset:" + std::string(300, ' ') + "5, 6\nactset: 1, 1");
    EXPECT_EQ(commands(0), (std::vector<Cmd>{{4, 0, 0, 0}, {4, 1, 0, 1}}));
}

TEST_F(Parser, EmptyScriptsGiveNoSequences) {
    for (const char* text : {"", "\n\n", "# only a comment", "seqrepeat: 2\nbogus"}) {
        parse(text);
        EXPECT_EQ(sequencer.sequenceList, nullptr) << text;
    }
}

}  // namespace
