// The script checker: one fault of each kind with its exact line, the scripts it must pass, the
// built-in script, and the line format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/frame.hpp"
#include "script/check.hpp"
#include "script/script.hpp"
#include "util/util.hpp"

namespace {

// "LINE: message" for each problem.
std::vector<std::string> check(const std::string& text) {
    std::vector<std::string> lines;
    for (const ScriptProblem& p : checkScript(text)) {
        lines.push_back(std::to_string(p.line) + ": " + p.message);
    }
    return lines;
}

std::vector<int> problemLines(const std::string& text) {
    std::vector<int> lines;
    for (const ScriptProblem& p : checkScript(text)) {
        lines.push_back(p.line);
    }
    return lines;
}

TEST(Checker, FindsOneFaultOfEachKindOnItsLine) {
    const std::string script =
        "# one fault a line, apart from remarks\n"
        "ACTSET: 31, 1\n"
        "actset:31, 1\n"
        "bogus\n"
        "duration:\n"
        "actset: 94\n"
        "actlim2: 101 , 1.5\n"
        "actset: 29, 1\n"
        "actstop: 2000\n"
        "seqdo: 1.5\n"
        "actset: 99999999999, 1\n"
        "frame: nan\n"
        "duration: 0.5\n"
        "variance: -1\n"
        "randdelay: -3\n"
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
        "seqdo: 3\n"
        "actset: 31, 1" +
        std::string(300, ' ') + "2\n";
    EXPECT_EQ(check(script),
              (std::vector<std::string>{
                  "2: bad command 'ACTSET:': did you mean 'actset:'?",
                  "3: bad command 'actset:31,': put a space after 'actset:'",
                  "4: bad command 'bogus'",
                  "5: 'duration:' needs a number",
                  "6: 'actset:' needs an actuator number, a comma and a value",
                  "7: 'actlim2:' needs the comma right after the actuator number",
                  "9: actuator 2000 reaches no slot: slots are 0 to 1023, and the actuators are "
                  "18, 31, 38, 45, 52, 73, 80, 87, 94, 101, 108, 123, 127 and 130",
                  "10: 'seqdo:' takes a whole number",
                  "11: 'actset:' takes a number from -2147483648 to 2147483647",
                  "12: 'frame:' takes a finite number",
                  "13: 'duration:' below 1 frame is taken as 1",
                  "14: 'variance:' takes a number from 0 to 1",
                  "15: 'randdelay:' takes a delay of 0 frames or more",
                  "16: sequence 9 does not exist: no 'seqname: 9'",
                  "17: 'actresetall:' does nothing: reset each actuator with 'actreset:'",
                  "18: 'seqrepeat:' is not implemented and does nothing",
                  "22: 'seqloop:' lets no time pass: each round runs again in the same frame "
                  "(give it a 'relframe:' or 'randdelay:')",
                  "23: sequence 2 never starts: no sequence that runs has 'seqdo: 2'",
                  "25: sequence 3 never starts: no sequence that runs has 'seqdo: 3'",
                  "27: 'seqdo: 3' restarts its own sequence in the same frame (give it a "
                  "'relframe:' or 'randdelay:' before)",
                  "28: the text after 'actset:' is longer than 255 characters: the rest of the "
                  "line is ignored",
              }));
}

TEST(Checker, PassesWhatThePlainReadingAllows) {
    const std::string clean[] = {
        "",
        "# a remark\n\n   \t\n  actset: 31, 0.5 # a remark after the arguments\r\n",
        "actset: 31,0.5\nactset:\t38, 1e1\nseqdo: 3 # 4\nseqname: 3\nactset: 94, -.5",
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

TEST(Checker, SequencesNeedSequenceZeroToStartAnything) {
    EXPECT_EQ(problemLines("seqname: 1\nseqdo: 2\nseqname: 2\nactset: 31, 1"),
              (std::vector<int>{1, 3}));
    // Sequence 0 of the top level exists only once a command is stored in it.
    EXPECT_EQ(problemLines("seqrepeat: 1\nseqname: 1\nseqdo: 0"), (std::vector<int>{1, 2, 3}));
}

TEST(Checker, ReadsTheWholeTextAndReportsANulCharacterOnItsLine) {
    EXPECT_EQ(problemLines(std::string("actset: 31, 1\nactset: 38, 1\0bogus\n", 34)),
              (std::vector<int>{2}));
    EXPECT_EQ(problemLines(std::string("actset: 31, 1\n\0", 15)), (std::vector<int>{2}));
    EXPECT_EQ(formatProblem("my.txt", {7, "bad command 'x'"}), "my.txt:7: bad command 'x'");
}

// The built-in script checks clean (its lines for the empty slots 29 and 17 included), and
// checking leaves a running engine as it was.
TEST(Checker, PassesTheBuiltInScriptAndRunsNothing) {
    EXPECT_EQ(problemLines(builtinScript), std::vector<int>{});

    Engine plain;
    initEngineWithSeed(plain, 5);
    Engine checked;
    initEngineWithSeed(checked, 5);
    for (int f = 0; f < 300; ++f) {
        advanceFrame(plain);
        checkScript("seqdo: 1\nseqname: 1\nactset: 38, 1\nseqkillall:");
        advanceFrame(checked);
    }
    EXPECT_EQ(act(checked.bank, 38).value, act(plain.bank, 38).value);
}

}  // namespace
