// The script language's reference and examples: every script in docs/script-language.md checks
// and runs as the page says, with the values it shows, and every script in examples/ is clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/actuators.hpp"
#include "frame/frame.hpp"
#include "script/check.hpp"

using namespace lumenweave;

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fenced block of the page: its info string ("script", "text values", ...), its text and the
// page line it starts on.
struct Block {
    std::string info;
    std::string text;
    int line;
};

std::vector<Block> fencedBlocks(const std::string& page) {
    std::vector<Block> blocks;
    std::istringstream lines(page);
    std::string line;
    int number = 0;
    bool inside = false;
    while (std::getline(lines, line)) {
        ++number;
        if (line.rfind("```", 0) == 0) {
            if (!inside) {
                blocks.push_back({line.substr(3), "", number});
            }
            inside = !inside;
        } else if (inside) {
            blocks.back().text += line + "\n";
        }
    }
    EXPECT_FALSE(inside) << "a block is not closed";
    return blocks;
}

std::string checkerOutput(const std::string& script, const std::string& name) {
    std::string out;
    for (const script::ScriptProblem& p : script::checkScript(script)) {
        out += formatProblem(name, p) + "\n";
    }
    return out;
}

void runScript(frame::Engine& engine, const std::string& script, int frames) {
    initEngineWithScript(engine, 1, script.c_str());
    for (int f = 0; f < frames; ++f) {
        advanceFrame(engine);
    }
}

// Lines "after frame F: N = V, N = V": the script runs with seed 1 and each actuator N must hold
// V after frame F.
void expectValues(const std::string& script, const Block& values) {
    std::istringstream lines(values.text);
    std::string line;
    int done = 0;
    frame::Engine engine;
    initEngineWithScript(engine, 1, script.c_str());
    while (std::getline(lines, line)) {
        int frame = 0;
        int used = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "after frame %d:%n", &frame, &used), 1) << line;
        ASSERT_GE(frame, done) << line;
        for (; done < frame; ++done) {
            advanceFrame(engine);
        }
        std::istringstream pairs(line.substr(used));
        std::string pair;
        while (std::getline(pairs, pair, ',')) {
            int index = 0;
            float expected = 0.0f;
            ASSERT_EQ(std::sscanf(pair.c_str(), " %d = %f", &index, &expected), 2) << line;
            const engine::Actuator* a = findActuator(engine.bank, index);
            ASSERT_NE(a, nullptr) << line;
            EXPECT_NEAR(a->value, expected, 1e-6) << "page line " << values.line << ": " << line;
        }
    }
}

TEST(ScriptDocs, EveryScriptOfTheReferenceChecksAndRunsAsThePageSays) {
    const std::vector<Block> blocks =
        fencedBlocks(readFile(LUMENWEAVE_SOURCE_DIR "/docs/script-language.md"));
    int scripts = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].info != "script") {
            continue;
        }
        ++scripts;
        const std::string& script = blocks[i].text;
        std::string expectedProblems;
        for (std::size_t j = i + 1; j < blocks.size() && blocks[j].info != "script"; ++j) {
            if (blocks[j].info == "text checker") {
                expectedProblems = blocks[j].text;
            } else if (blocks[j].info == "text values") {
                expectValues(script, blocks[j]);
            }
        }
        EXPECT_EQ(checkerOutput(script, "example.txt"), expectedProblems)
            << "the script on page line " << blocks[i].line;
        frame::Engine engine;
        runScript(engine, script, 600);
    }
    EXPECT_GE(scripts, 10);
}

TEST(ScriptDocs, EveryExampleIsCleanAndMovesTheFigure) {
    std::vector<fs::path> examples;
    for (const auto& entry : fs::directory_iterator(LUMENWEAVE_SOURCE_DIR "/examples")) {
        examples.push_back(entry.path());
    }
    std::sort(examples.begin(), examples.end());
    EXPECT_GE(examples.size(), 4u);
    EXPECT_LE(examples.size(), 6u);
    for (const fs::path& path : examples) {
        const std::string script = readFile(path);
        EXPECT_EQ(checkerOutput(script, path.filename().string()), "");
        // Something must still change after the first second: the examples are animations.
        frame::Engine engine;
        runScript(engine, script, 60);
        std::vector<float> first;
        for (const engine::Actuator& a : engine.bank.actuators) {
            first.push_back(a.value);
        }
        bool changed = false;
        for (int f = 60; f < 600 && !changed; ++f) {
            advanceFrame(engine);
            for (int i = 0; i < engine::actuatorCount; ++i) {
                changed = changed || engine.bank.actuators[i].value != first[i];
            }
        }
        EXPECT_TRUE(changed) << path;
    }
}

}  // namespace
