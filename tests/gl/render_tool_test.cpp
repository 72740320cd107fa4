// lumenweave-render from the outside: its outputs, its draw-list dump, and its refusals.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Result {
    int code;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RenderTool : public ::testing::Test {
  protected:
    fs::path dir;

    void SetUp() override {
        char pattern[] = "/tmp/lumenweave-render-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Standard output goes to a file of the test folder, or to `stdoutTo` when one is named.
    Result run(std::vector<std::string> args, const std::string& stdoutTo = "") {
        args.insert(args.begin(), LUMENWEAVE_BINARY_DIR "/tools/render/lumenweave-render");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = (dir / "stdout").string();
        const std::string err = (dir / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (stdoutTo.empty()) {
            posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                             0644);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, stdoutTo.c_str(), O_WRONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid;
        // Scratch files go to the test folder too, so that files() shows any left behind.
        std::vector<std::string> env = {"TMPDIR=" + dir.string()};
        for (char** e = environ; *e; ++e) {
            if (std::string(*e).rfind("TMPDIR=", 0) != 0)
                env.push_back(*e);
        }
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return {-1, "", "cannot start the tool"};
        int status = 0;
        ::waitpid(pid, &status, 0);
        Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    // Files in the test folder, apart from the captured output.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

uint32_t bigEndian(const std::string& s, size_t at) {
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

void expectPng(const fs::path& path, uint32_t width, uint32_t height) {
    const std::string png = slurp(path);
    ASSERT_GT(png.size(), 24u) << path;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << path;
    EXPECT_EQ(bigEndian(png, 16), width) << path;
    EXPECT_EQ(bigEndian(png, 20), height) << path;
}

TEST_F(RenderTool, WritesTheLastFrameAsAPngAndTheCloneGivesTheSamePicture) {
    const std::string one = (dir / "one.png").string();
    const std::string two = (dir / "two.png").string();
    const Result a = run({"--seed", "3", "--frames", "90", "--size", "80x60", "--out", one});
    ASSERT_EQ(a.code, 0) << a.err;
    expectPng(one, 80, 60);
    const Result b =
        run({"--seed", "3", "--frames", "90", "--size", "80x60", "--windows", "2", "--out", two});
    ASSERT_EQ(b.code, 0) << b.err;
    EXPECT_EQ(slurp(one), slurp(two));
    EXPECT_EQ(files(), (std::vector<std::string>{"one.png", "two.png"}));
}

TEST_F(RenderTool, AFolderGetsEveryKeptFrameCountedBackFromTheLast) {
    const Result r = run(
        {"--frames", "10", "--every", "4", "--size", "16x12", "--out", (dir / "frames/").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir / "frames")) {
        names.push_back(e.path().filename());
        expectPng(e.path(), 16, 12);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame-000002.png", "frame-000006.png",
                                               "frame-000010.png"}));
}

// A range keeps its frames' numbers and draws each as a run that stops there draws it.
TEST_F(RenderTool, ARangeOfFramesWritesTheSamePicturesAsSingleRuns) {
    const Result r = run({"--seed", "3", "--frames", "60-62", "--size", "32x24", "--out",
                          (dir / "range/").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir / "range"))
        count += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(count, 3);
    for (const char* frame : {"60", "61", "62"}) {
        const fs::path single = dir / (std::string(frame) + ".png");
        const Result one =
            run({"--seed", "3", "--frames", frame, "--size", "32x24", "--out", single});
        ASSERT_EQ(one.code, 0) << one.err;
        EXPECT_EQ(slurp(dir / "range" / ("frame-0000" + std::string(frame) + ".png")),
                  slurp(single))
            << frame;
    }
}

TEST_F(RenderTool, MakesAnAnimatedGifOfEveryKeptFrame) {
    // More kept frames than ImageMagick is given at once, so the GIF is joined from batches.
    const fs::path gif = dir / "anim.gif";
    const Result r = run({"--frames", "204", "--every", "2", "--size", "8x6", "--out", gif});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(slurp(gif).substr(0, 6), "GIF89a");
    EXPECT_EQ(files(), (std::vector<std::string>{"anim.gif"}));

    FILE* identify = ::popen(("identify -format '%n\\n' '" + gif.string() + "'").c_str(), "r");
    ASSERT_NE(identify, nullptr);
    int frames = 0;
    EXPECT_EQ(std::fscanf(identify, "%d", &frames), 1);
    ::pclose(identify);
    EXPECT_EQ(frames, 102);
}

TEST_F(RenderTool, DumpsTheLastFramesDrawList) {
    const Result r = run({"--frames", "2", "--size", "16x12", "--dump-drawlist"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_GT(all.size(), 100u);
    EXPECT_EQ(all[0], "9 16384");
    EXPECT_EQ(all[1], "0 1 1 1");
    EXPECT_EQ(all[2], "0 1 1 1");
    EXPECT_EQ(all[3], "1");
    EXPECT_EQ(all.back(), "10");
    EXPECT_NE(std::find(all.begin(), all.end(), "6 9"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "7 -0.100000001 -0.100000001"), all.end());
}

// A script of no wings draws nothing at all, where the built-in script draws squares.
TEST_F(RenderTool, RunsTheScriptItIsGiven) {
    std::ofstream(dir / "none.txt") << "actset: 130, 0.5\nactset: 52, 0\n";
    const auto vertices = [](const std::string& drawList) {
        return drawList.find("\n7 ") != std::string::npos;
    };
    const Result builtIn = run({"--frames", "2", "--size", "16x12", "--dump-drawlist"});
    const Result none = run({"--frames", "2", "--size", "16x12", "--dump-drawlist", "--script",
                             (dir / "none.txt").string()});
    ASSERT_EQ(none.code, 0) << none.err;
    EXPECT_TRUE(vertices(builtIn.out));
    EXPECT_FALSE(vertices(none.out));
}

// A share link's script runs with the link's seed, as --script of the same text with --seed.
TEST_F(RenderTool, RunsTheScriptAndSeedOfALink) {
    const std::string path = LUMENWEAVE_SOURCE_DIR "/examples/random-bursts.txt";
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string link = "https://example.org/?seed=5#s=";
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, text.size() - i);
        uint32_t bits = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            bits = bits << 8 | (k < n ? static_cast<unsigned char>(text[i + k]) : 0u);
        }
        for (std::size_t k = 0; k <= n; ++k) {
            link += alphabet[(bits >> (18 - 6 * k)) & 63];
        }
    }
    const std::vector<std::string> common = {"--frames", "130", "--size", "16x12",
                                             "--dump-drawlist"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), common.begin(), common.end());
        return run(more);
    };
    const Result linked = with({"--seed", "6", "--link", link});
    ASSERT_EQ(linked.code, 0) << linked.err;
    EXPECT_EQ(linked.out, with({"--script", path, "--seed", "5"}).out);
    EXPECT_NE(linked.out, with({"--script", path, "--seed", "6"}).out);
}

TEST_F(RenderTool, RefusesBadArgumentsAndUnwritableOutputsWithOneLine) {
    std::ofstream(dir / "file") << "x";
    const std::string png = (dir / "out.png").string();
    const std::vector<std::vector<std::string>> bad = {
        {"--frames", "0", "--out", png},
        {"--frames", "12x", "--out", png},
        {"--frames", "62-60", "--out", png},
        {"--frames", "a-b", "--out", png},
        {"--frames", "0-2", "--out", png},
        {"--frames", "60-", "--out", png},
        {"--size", "640", "--out", png},
        {"--size", "0x480", "--out", png},
        {"--seed", "-1", "--out", png},
        {"--windows", "3", "--out", png},
        {"--every", "0", "--out", png},
        {"--frames"},
        {"--frames", "1\n2", "--out", png},
        {"--colour", "red"},
        {"--script", (dir / "missing.txt").string(), "--out", png},
        {"--link", "https://example.org/?seed=5", "--out", png},
        {"--link", "#z=AAAA", "--out", png},
        {"--out", (dir / "picture.bmp").string()},
        {"--out", (dir / "missing" / "out.png").string()},
        {"--out", (dir / "file" / "out.png").string()},
        {"--out", (dir / "file" / "frames/").string()},
        {},
    };
    for (const auto& args : bad) {
        const Result r = run(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << r.err;
        EXPECT_EQ(r.err.rfind("lumenweave-render: ", 0), 0u) << joined << r.err;
    }
    EXPECT_EQ(files(), (std::vector<std::string>{"file"}));

    const Result full = run({"--frames", "2", "--size", "16x12", "--dump-drawlist"}, "/dev/full");
    EXPECT_EQ(full.code, 2);
    EXPECT_EQ(std::count(full.err.begin(), full.err.end(), '\n'), 1) << full.err;

    const Result help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--dump-drawlist"), std::string::npos);
}

}  // namespace
