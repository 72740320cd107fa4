// The script checker: one fault of each kind with its exact line, the ends of every range, the
// scripts it must pass, the built-in script, and the line format.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frame/frame.hpp"
#include "script/check.hpp"
#include "script/parser.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

// "LINE: message" for each error, "LINE: warning: message" for each warning.
std::vector<std::string> check(const std::string& text) {
    std::vector<std::string> lines;
    for (const script::ScriptProblem& p : script::checkScript(text)) {
        lines.push_back(std::to_string(p.line) + ": " +
                        (p.severity == script::Severity::warning ? "warning: " : "") + p.message);
    }
    return lines;
}

std::vector<int> problemLines(const std::string& text) {
    std::vector<int> lines;
    for (const script::ScriptProblem& p : script::checkScript(text)) {
        lines.push_back(p.line);
    }
    return lines;
}

TEST(Checker, FindsOneFaultOfEachKindOnItsLine) {
    const std::string script =
        "# one fault a line, apart from remarks; the ranges are tried at their ends below\n"
        "ACTSET: 31, 1\n"
        "actset:31, 1\n"
        "bogus\n"
        "duration:\n"
        "actset: 94\n"
        "actlim2: 101 , 1.5\n"
        "actset: 29, 1\n"
        "seqdo: 1.5\n"
        "frame: nan\n"
        "seqkill: 9\n"
        "actresetall:\n"
        "seqrepeat: 2\n"
        "seqdo: 1\n"
        "seqname: 1\n"
        "actset: 80, 1\n"
        "seqloop:\n"
        "seqname: 2\n"
        "seqdo: 3\n"
        "seqname: 3\n"
        "relframe: 0.25\n"
        "seqdo: 3\n";
    EXPECT_EQ(check(script),
              (std::vector<std::string>{
                  "2: bad command 'ACTSET:': did you mean 'actset:'?",
                  "3: bad command 'actset:31,': put a space after 'actset:'",
                  "4: bad command 'bogus'",
                  "5: 'duration:' needs a number",
                  "6: 'actset:' needs an actuator number, a comma and a value",
                  "7: 'actlim2:' needs the comma right after the actuator number",
                  "9: 'seqdo:' takes a whole number",
                  "10: 'frame:' takes a finite number",
                  "11: sequence 9 does not exist: no 'seqname: 9'",
                  "12: 'actresetall:' does nothing: reset each actuator with 'actreset:'",
                  "13: 'seqrepeat:' is not implemented and does nothing",
                  "17: 'seqloop:' lets no time pass: each round runs again in the same frame "
                  "(give it a 'relframe:' or 'randdelay:')",
                  "18: sequence 2 never starts: no sequence that runs has 'seqdo: 2'",
                  "20: sequence 3 never starts: no sequence that runs has 'seqdo: 3'",
                  "22: 'seqdo: 3' restarts its own sequence in the same frame (give it a "
                  "'relframe:' or 'randdelay:' before)",
              }));
}

TEST(Checker, PassesWhatThePlainReadingAllows) {
    const std::string clean[] = {
        "",
        "# a remark\n\n   \t\n  actset: 31, 0.5 # a remark after the arguments\r\n",
        "actset: 31,0.5\nactset:\t38, 1e1\nseqdo: 3 # 4\nseqname: 3\nactset: 94, -.5",
        "actset: 31, 0.5#a remark written on\r\nduration: 2\t\r\n",
        // Loops that let time pass: by steps, by a delay, by a restart after a step.
        "seqdo: 1\nseqname: 1\nactset: 87, 4\nrelframe: 120\nactset: 87, -4\nrelframe: 120\n"
        "seqloop:",
        "seqdo: 2\nseqname: 2\nrelframe: -1\nranddelay: 10\nrelframe: 1\nseqloop:",
        "seqdo: 3\nseqname: 3\nactset: 31, 1\nrelframe: 0.5\nseqdo: 3",
        // Started from a started sequence, and before its seqname; sequence 0 named outright.
        "seqname: 0\nseqdo: 1\nseqname: 2\nseqstop: 1\nseqname: 1\nseqdo: 2\nseqkill: 2",
        // A long line whose cut part is blank or a remark.
        "actset: 31, 1" + std::string(300, ' ') + "\nactset: 31, 1 #" + std::string(300, 'x'),
    };
    for (const std::string& text : clean) {
        EXPECT_EQ(check(text), std::vector<std::string>{}) << text;
    }
}

// Each one-line script with the first problem it must give ("" for none): at every range the
// last value inside and the first outside, and what each keyword needs.
TEST(Checker, RangesEndWhereTheySayAndEachKeywordNamesWhatItNeeds) {
    const std::string slot =
        " reaches no slot: slots are 0 to 1023, and the actuators are 18, 31, "
        "38, 45, 52, 73, 80, 87, 94, 101, 108, 123, 127 and 130";
    const std::string outOfInt = " takes a number from -2147483648 to 2147483647";
    const std::pair<std::string, std::string> cases[] = {
        {"actset: 0, 1", ""},
        {"actset: 1023, 1", ""},
        {"actset: -1, 1", "actuator -1" + slot},
        {"actset: 1024, 1", "actuator 1024" + slot},
        {"actlim1: 1024, 1", "actuator 1024" + slot},
        {"actlim2: 1024, 1", "actuator 1024" + slot},
        {"actreset: 1024", "actuator 1024" + slot},
        {"actstop: 1024", "actuator 1024" + slot},
        {"actset: 2147483647, 1", "actuator 2147483647" + slot},
        {"actset: 2147483648, 1", "'actset:'" + outOfInt},
        {"actset: -2147483649, 1", "'actset:'" + outOfInt},
        {"variance: 0", ""},
        {"variance: 1", ""},
        {"variance: -0.0000001", "'variance:' takes a number from 0 to 1"},
        {"variance: 1.0000001", "'variance:' takes a number from 0 to 1"},
        {"duration: 1", ""},
        {"duration: 0.9999999", "warning: 'duration:' below 1 frame is taken as 1"},
        {"randdelay: 0", ""},
        {"randdelay: -0.0000001", "'randdelay:' takes a delay of 0 frames or more"},
        {"actset: 31, 1" + std::string(248, ' ') + "2", ""},
        {"actset: 31, 1" + std::string(249, ' ') + "2",
         "the text after 'actset:' is longer than 255 characters: the rest of the line is ignored"},
        {"seqname:", "'seqname:' needs a sequence number"},
        {"seqdo:", "'seqdo:' needs a sequence number"},
        {"seqstop:", "'seqstop:' needs a sequence number"},
        {"seqkill:", "'seqkill:' needs a sequence number"},
        {"seqrepeat:", "'seqrepeat:' needs a sequence number"},
        {"actreset:", "'actreset:' needs an actuator number"},
        {"actstop:", "'actstop:' needs an actuator number"},
        {"frame: x", "'frame:' needs a number"},
        {"actlim1: 31", "'actlim1:' needs an actuator number, a comma and a value"},
        {"seqstop: 4", "sequence 4 does not exist: no 'seqname: 4'"},
        // Text written onto the last number: the line runs with what the parse read, a warning.
        {"actset: 38, 2O", "warning: 'actset:' read 2; 'O' after it is ignored"},
        {"actset: 31, 0.0.4", "warning: 'actset:' read 0.0; '.4' after it is ignored"},
        {"actset: 94, -1,5",
         "warning: 'actset:' read -1; ',5' after it is ignored: a decimal comma? "
         "write -1.5"},
        {"actset: 94, 1.2,5", "warning: 'actset:' read 1.2; ',5' after it is ignored"},
        {"seqstop: 0x", "warning: 'seqstop:' read 0; 'x' after it is ignored"},
        // An exponent without digits, which not every C library reads alike.
        {"actset: 31, 1e",
         "warning: 'actset:' 1e has no digits after its exponent: write 1 or 1e0"},
        {"frame: -2.5E+x",
         "warning: 'frame:' -2.5E has no digits after its exponent: write -2.5 or -2.5E0"},
        {"frame: 0x1e", ""},
        {"actset 31, 1", "bad command 'actset': did you mean 'actset:'?"},
        {"\x7f", "bad command '?'"},
        {std::string(41, 'x'), "bad command '" + std::string(40, 'x') + "...'"},
    };
    for (const auto& [line, problem] : cases) {
        const std::vector<std::string> got = check(line);
        if (problem.empty()) {
            EXPECT_EQ(got, std::vector<std::string>{}) << line;
        } else {
            EXPECT_EQ(got.empty() ? "" : got[0], "1: " + problem) << line;
        }
    }
    // A warning hides no error of its line; only errors make the script refused.
    EXPECT_EQ(check("actset: 1200, 1e"),
              (std::vector<std::string>{
                  "1: warning: 'actset:' 1e has no digits after its exponent: write 1 or 1e0",
                  "1: actuator 1200" + slot}));
    EXPECT_FALSE(hasErrors(script::checkScript("actset: 38, 2O\nduration: 0.5")));
    EXPECT_TRUE(hasErrors(script::checkScript("actset: 38, 2O\nbogus")));
    // Every keyword of the table is read as one.
    EXPECT_EQ(check("absframe: 0\nframe: 1\nactlim1: 31, 0\nactlim2: 31, 1\nactset: 31, 0.5\n"
                    "actreset: 31\nactstop: 31\nactstopall:\nseqdo: 1\nseqname: 1\nseqstop: 1\n"
                    "seqkill: 1\nseqkillall:\nduration: 2\nvariance: 0.5\nranddelay: 3\n"
                    "relframe: 1\nseqloop:"),
              std::vector<std::string>{});
}

TEST(Checker, SequencesNeedSequenceZeroToStartAnything) {
    EXPECT_EQ(problemLines("seqname: 1\nseqdo: 2\nseqname: 2\nactset: 31, 1"),
              (std::vector<int>{1, 3}));
    // Sequence 0 of the top level exists only once a command is stored in it.
    EXPECT_EQ(problemLines("seqrepeat: 1\nseqname: 1\nseqdo: 0"), (std::vector<int>{1, 2, 3}));
    // A number too large for an int is one problem, not also one about what the library made
    // of it.
    const std::string tooLarge = "99999999999999999999";
    const std::string range = "takes a number from -2147483648 to 2147483647";
    EXPECT_EQ(check("seqdo: " + tooLarge), std::vector<std::string>{"1: 'seqdo:' " + range});
    EXPECT_EQ(check("actset: 31, 1\nseqname: " + tooLarge + "\nseqkill: " + tooLarge),
              (std::vector<std::string>{"2: 'seqname:' " + range, "3: 'seqkill:' " + range}));
}

TEST(Checker, ReadsTheWholeTextAndReportsANulCharacterOnItsLine) {
    EXPECT_EQ(problemLines(std::string("actset: 31, 1\nactset: 38, 1\0bogus\n", 34)),
              (std::vector<int>{2}));
    EXPECT_EQ(problemLines(std::string("actset: 31, 1\n\0", 15)), (std::vector<int>{2}));
    EXPECT_EQ(script::formatProblem("my.txt", {7, "bad command 'x'"}), "my.txt:7: bad command 'x'");
    EXPECT_EQ(script::formatProblem("my.txt", {7, "x", script::Severity::warning}),
              "my.txt:7: warning: x");
}

// The built-in script checks clean (its lines for the empty slots 29 and 17 included), and
// checking leaves a running engine as it was.
TEST(Checker, PassesTheBuiltInScriptAndRunsNothing) {
    EXPECT_EQ(problemLines(script::builtinScript), std::vector<int>{});

    frame::Engine plain;
    initEngineWithSeed(plain, 5);
    frame::Engine checked;
    initEngineWithSeed(checked, 5);
    for (int f = 0; f < 300; ++f) {
        advanceFrame(plain);
        script::checkScript("seqdo: 1\nseqname: 1\nactset: 38, 1\nseqkillall:");
        advanceFrame(checked);
    }
    EXPECT_EQ(act(checked.bank, 38).value, act(plain.bank, 38).value);
}

}  // namespace
