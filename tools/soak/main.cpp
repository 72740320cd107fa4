// lumenweave-soak: runs the real engine and figure frame after frame, as the master window does
// with a clone open (every frame recorded into the draw list), and checks what a screensaver left
// running for days must keep: flat memory, an animation that still changes, and a clock that
// still moves the script along, also when started near the end of single-precision frame counts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/replay.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "gl.hpp"
#include "options.hpp"

using namespace lumenweave;

namespace {

constexpr const char* usage =
    "usage: lumenweave-soak [--frames N] [--clock F] [--seed T] [--size WxH] [--allow KB]\n"
    "Runs N frames (default 1000000) of the engine and the figure, recording every frame into\n"
    "the draw list as the master does with a clone open; lumenweave-soak-mesa also draws them\n"
    "into an offscreen context of WxH pixels (default 16x16). --clock starts the animation\n"
    "clock at frame F (default 0). Prints the resident memory at each quarter of the run and\n"
    "fails (exit 1) if it grew by more than KB (default 256) over the second half, if the drawn\n"
    "frame stopped changing or if a running sequence stopped moving in the final stretch.\n"
    "--help shows this text, --version the version.\n";

// The final stretch watched for liveness: longer than the built-in script's longest random
// delay (2 x 1200 frames plus the fast phase), so every looping sequence acts within it.
constexpr unsigned long long finalStretch = 6000;

struct Options {
    unsigned long long frames = 1000000;
    double clock = 0.0;
    uint32_t seed = 1;
    int width = 16;
    int height = 16;
    // Growth of the resident size allowed over the second half of the run; the first half lets
    // the draw list, the heap and Mesa's caches reach their working size.
    long allowedGrowthKb = 256;
};

Options parseOptions(int argc, char** argv) {
    Options o;
    tools::parseFlags(argc, argv, usage,
                      {{"--frames", true},
                       {"--clock", true},
                       {"--seed", true},
                       {"--allow", true},
                       {"--size", true}},
                      [&o](const std::string& flag, const char* value) {
                          if (flag == "--size") {
                              const tools::Size size = tools::parseSize(flag, value, 4096);
                              o.width = size.width;
                              o.height = size.height;
                              return;
                          }
                          const long long n = tools::parseNumber(flag, value, 0, INT64_MAX);
                          if (flag == "--frames") {
                              o.frames = static_cast<unsigned long long>(n);
                          } else if (flag == "--clock") {
                              o.clock = static_cast<double>(n);
                          } else if (flag == "--seed") {
                              o.seed = static_cast<uint32_t>(n);
                          } else {
                              o.allowedGrowthKb = static_cast<long>(n);
                          }
                      });
    return o;
}

long residentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kb = -1;
    if (!status) {
        return kb;
    }
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kb;
}

// FNV-1a over the recorded frame: equal hashes mean the same drawing calls.
uint64_t frameHash(const drawlist::draw_list_t& list) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, std::size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            h = (h ^ bytes[i]) * 1099511628211ull;
        }
    };
    for (const drawlist::draw_command& c : list.commands) {
        mix(&c.type, sizeof c.type);
    }
    mix(list.words.data(), list.words.size() * sizeof(uint32_t));
    return h;
}

// Where a running sequence stands; a sequence that acts moves its command or its time origin.
struct SequenceMark {
    const script::Sequence* sequence;
    const script::Command* current;
    float seqFrame;
};

std::vector<SequenceMark> runningSequences(const script::Sequencer& sequencer) {
    std::vector<SequenceMark> marks;
    for (const script::Sequence* s = sequencer.sequenceList; s; s = s->next) {
        if (s->current) {
            marks.push_back({s, s->current, s->seqFrame});
        }
    }
    return marks;
}

int soak(int argc, char** argv) {
    const Options o = parseOptions(argc, argv);
    if (o.frames < 2 * finalStretch) {
        tools::usageError("--frames must be at least " + std::to_string(2 * finalStretch));
    }
    startGl(o.width, o.height);
    replay::setupView(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height));
    frame::Engine engine;
    initEngineWithSeed(engine, o.seed);
    engine.sequencer.currentFrame = static_cast<float>(o.clock);
    const float clockStart = engine.sequencer.currentFrame;
    drawlist::draw_list_t list;

    long rss[4] = {};
    uint64_t previousHash = 0;
    unsigned long long unchangedFrames = 0;
    std::size_t largestFrame = 0;
    std::vector<SequenceMark> marks;
    for (unsigned long long k = 1; k <= o.frames; ++k) {
        replay::renderFrame(engine, &list);
        largestFrame = std::max(largestFrame, list.commands.size());
        if (k % (o.frames / 4) == 0 && k / (o.frames / 4) <= 4) {
            rss[k / (o.frames / 4) - 1] = residentKb();
        }
        if (k == o.frames - finalStretch) {
            marks = runningSequences(engine.sequencer);
        }
        if (k > o.frames - finalStretch) {
            const uint64_t hash = frameHash(list);
            unchangedFrames += hash == previousHash;
            previousHash = hash;
        } else if (k == o.frames - finalStretch) {
            previousHash = frameHash(list);
        }
    }
    rss[3] = residentKb();

    std::size_t stalled = 0;
    for (const SequenceMark& m : marks) {
        stalled += m.sequence->current == m.current && m.sequence->seqFrame == m.seqFrame;
    }
    const long growth = rss[3] - rss[1];
    std::printf("frames %llu, clock %.0f -> %.0f, seed %u, context %dx%d\n", o.frames,
                static_cast<double>(clockStart), static_cast<double>(engine.sequencer.currentFrame),
                o.seed, o.width, o.height);
    std::printf("resident at each quarter %ld %ld %ld %ld kB: growth over the second half %ld kB\n",
                rss[0], rss[1], rss[2], rss[3], growth);
    std::printf("largest recorded frame %zu commands\n", largestFrame);
    std::printf("last %llu frames: %llu unchanged, %zu of %zu running sequences stalled\n",
                finalStretch, unchangedFrames, stalled, marks.size());

    bool ok = true;
    if (rss[1] <= 0 || rss[3] <= 0 || growth > o.allowedGrowthKb) {
        std::printf("FAIL: memory grew by more than %ld kB\n", o.allowedGrowthKb);
        ok = false;
    }
    if (unchangedFrames > 0) {
        std::printf("FAIL: the drawn frame stopped changing\n");
        ok = false;
    }
    if (marks.empty() || stalled > 0) {
        std::printf("FAIL: the script stopped moving\n");
        ok = false;
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::runTool("lumenweave-soak", [&] { return soak(argc, argv); });
}
