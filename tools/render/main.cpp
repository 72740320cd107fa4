// lumenweave-render: runs the real engine and draws the real figure into an offscreen Mesa
// context, writing the frames as PNG files or an animated GIF, or printing the draw list.
#include <malloc.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/replay.hpp"
#include "frame/frame.hpp"
#include "replay/gl1/render.hpp"
#include "offscreen.hpp"
#include "options.hpp"
#include "read_script.hpp"
#include "png/png.hpp"
#include "share_link/share_link.hpp"

using namespace lumenweave;

extern char** environ;

namespace {

constexpr const char* usage =
    "usage: lumenweave-render [--seed T] [--frames N|A-B] [--size WxH] [--every K]\n"
    "                         [--windows 1|2] [--script FILE | --link ADDRESS] [--dump-drawlist]\n"
    "                         --out PATH\n"
    "\n"
    "Runs the animation engine for N frames, seeded with T, and draws each frame of the figure\n"
    "into an offscreen OpenGL context (Mesa) of W x H pixels.\n"
    "\n"
    "  --seed T         seed of the random generator, 0..4294967295 (default 1)\n"
    "  --frames N       number of frames to run, 1 or more (default 1); 60 frames are a second\n"
    "  --frames A-B     run to frame B and keep frames A to B only (A <= B): with a folder,\n"
    "                   a numbered PNG sequence that video tools take\n"
    "  --size WxH       picture size in pixels, each side 1..16384 (default 640x480)\n"
    "  --every K        keep every K-th frame, counted back from the last (default 1)\n"
    "  --windows 1|2    2: replay each frame's draw list into a second context, as a clone\n"
    "                   window does, and write the replayed picture (default 1)\n"
    "  --script FILE    run the script in FILE instead of the built-in one; - reads standard\n"
    "                   input\n"
    "  --link ADDRESS   run the script of a share link of the playground (the address Share\n"
    "                   copies, or its #z=... part), with the link's ?seed= before --seed\n"
    "  --dump-drawlist  print the draw list of the last frame on standard output, one command a\n"
    "                   line: its code, then its argument words (%.9g floats, decimal integers)\n"
    "  --out PATH       PATH.png: the last frame; PATH.gif: the kept frames as an animated GIF\n"
    "                   (needs ImageMagick's convert and gifsicle); an existing folder or a\n"
    "                   PATH ending in /:\n"
    "                   every kept frame as frame-NNNNNN.png, numbered by frame\n"
    "  --help           show this text; --version shows the version\n"
    "\n"
    "Output is written under a temporary name and renamed into place when complete.\n"
    "Exit codes: 0 done, 1 rendering or GIF assembly failed, 2 bad arguments or unwritable "
    "output.\n";

enum class OutKind { none, png, gif, folder };

constexpr long maxFrames = 100000000;

struct Options {
    uint32_t seed = 1;
    long firstKept = 1;  // frames before it are run but not written
    long frames = 1;     // the last frame run
    int width = 640;
    int height = 480;
    long every = 1;
    unsigned windows = 1;
    bool dump = false;
    std::string script;                // the text of --script FILE or --link ADDRESS
    bool ownScript = false;            // false: the built-in script
    std::optional<uint32_t> linkSeed;  // --link: the link's own seed
    std::string out;
    OutKind kind = OutKind::none;
};

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) {
    interrupted = 1;
}

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentOf(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const size_t slash = p.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

// Decides what --out names and refuses, before any frame is drawn, a target that cannot be
// written.
void checkOutput(Options& o) {
    if (o.out.empty()) {
        if (!o.dump)
            tools::usageError("--out PATH is required (or --dump-drawlist)");
        return;
    }
    if (isDirectory(o.out) || o.out.back() == '/') {
        o.kind = OutKind::folder;
    } else if (endsWith(o.out, ".png")) {
        o.kind = OutKind::png;
    } else if (endsWith(o.out, ".gif")) {
        o.kind = OutKind::gif;
    } else {
        tools::usageError("--out must end in .png or .gif, or name a folder: '" + o.out + "'");
    }
    const std::string dir =
        o.kind == OutKind::folder && isDirectory(o.out) ? o.out : parentOf(o.out);
    if (!isDirectory(dir))
        tools::outputError("cannot write '" + o.out + "': no folder '" + dir + "'");
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        tools::outputError("cannot write '" + o.out + "': " + std::strerror(errno));
    }
}

// N, the first N frames, or A-B, a range whose frames keep their numbers.
void parseFrames(Options& o, const char* value) {
    const std::string text = value;
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        o.firstKept = 1;
        o.frames = static_cast<long>(tools::parseNumber("--frames", value, 1, maxFrames));
        return;
    }
    const std::string first = text.substr(0, dash);
    const std::string last = text.substr(dash + 1);
    const auto digits = [](const std::string& s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(first) || !digits(last)) {
        tools::usageError("--frames takes N or A-B, frame numbers from 1, not '" + text + "'");
    }
    o.firstKept = static_cast<long>(tools::parseNumber("--frames", first.c_str(), 1, maxFrames));
    o.frames = static_cast<long>(tools::parseNumber("--frames", last.c_str(), 1, maxFrames));
    if (o.frames < o.firstKept) {
        tools::usageError("--frames A-B needs A <= B, not '" + text + "'");
    }
}

// A link that gives no script is a usage error that says why.
void readLink(Options& o, const char* address) {
    const share_link::ShareLink link = share_link::readShareLink(address);
    switch (link.kind) {
        case share_link::LinkKind::notALink:
            tools::usageError("--link: not a link of the playground (no #z= or #s= part)");
        case share_link::LinkKind::damaged:
            tools::usageError("--link: the link is cut short or damaged");
        case share_link::LinkKind::tooLarge:
            tools::usageError("--link: the link's script is " + std::to_string(link.length) +
                              " bytes long, " + std::to_string(share_link::maxLinkedScript) +
                              " at most");
        case share_link::LinkKind::emptyScript:
            tools::usageError("--link: the link holds an empty script");
        case share_link::LinkKind::script:
            break;
    }
    o.script = link.text;
    o.ownScript = true;
    o.linkSeed = link.seed;
}

Options parseArgs(int argc, char** argv) {
    Options o;
    tools::parseFlags(
        argc, argv, usage,
        {{"--seed", true},
         {"--frames", true},
         {"--size", true},
         {"--every", true},
         {"--windows", true},
         {"--out", true},
         {"--script", true},
         {"--link", true},
         {"--dump-drawlist", false}},
        [&o](const std::string& flag, const char* value) {
            if (flag == "--dump-drawlist") {
                o.dump = true;
            } else if (flag == "--seed") {
                o.seed = static_cast<uint32_t>(tools::parseNumber(flag, value, 0, 4294967295LL));
            } else if (flag == "--frames") {
                parseFrames(o, value);
            } else if (flag == "--size") {
                const tools::Size size = tools::parseSize(flag, value, 16384);
                o.width = size.width;
                o.height = size.height;
            } else if (flag == "--every") {
                o.every = static_cast<long>(tools::parseNumber(flag, value, 1, maxFrames));
            } else if (flag == "--windows") {
                o.windows = static_cast<unsigned>(tools::parseNumber(flag, value, 1, 2));
            } else if (flag == "--script") {
                o.script = tools::readScript(value);
                o.ownScript = true;
            } else if (flag == "--link") {
                readLink(o, value);
            } else {
                o.out = value;
                if (o.out.empty())
                    tools::usageError("--out needs a path");
            }
        });
    o.seed = o.linkSeed.value_or(o.seed);
    checkOutput(o);
    return o;
}

// A name beside the target, so that the final rename stays within one file system.
std::string temporaryBeside(const std::string& target) {
    return target + ".part-" + std::to_string(::getpid());
}

// Writes a PNG under a temporary name and renames it into place.
void writePngAtomically(const std::string& path, const Options& o,
                        const std::vector<uint8_t>& rgb) {
    const std::string part = temporaryBeside(path);
    std::string error;
    if (!png::writePng(part, o.width, o.height, rgb, error)) {
        tools::outputError("cannot write '" + path + "': " + error);
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(part.c_str());
        tools::outputError("cannot write '" + path + "': " + reason);
    }
}

// Frames for the GIF wait in a private folder that is removed, with all it holds, whatever
// happens.
struct ScratchFolder {
    std::string path;
    std::vector<std::string> frames;  // kept frames, in order
    std::vector<std::string> files;   // everything written here

    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumenweave-render-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder: " +
                                     std::string(std::strerror(errno)));
        }
        path = pattern;
    }
    ~ScratchFolder() {
        for (const std::string& f : files)
            std::remove(f.c_str());
        ::rmdir(path.c_str());
    }
    std::string add(const std::string& name) {
        files.push_back(path + "/" + name);
        return files.back();
    }
};

std::string frameName(long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
    return name;
}

// Runs a program with its output going to ours and waits for it; an interruption of this tool
// stops the program too.
void runProgram(std::vector<std::string> args, const std::string& what) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child;
    const int spawned = ::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (spawned != 0) {
        throw std::runtime_error("cannot run " + what + ": " + std::strerror(spawned));
    }
    int status = 0;
    bool waited = false;
    while (!waited) {
        if (::waitpid(child, &status, 0) == child) {
            waited = true;
        } else if (errno != EINTR) {
            throw std::runtime_error("lost track of " + what + ": " + std::strerror(errno));
        } else if (interrupted) {
            ::kill(child, SIGTERM);
        }
    }
    if (interrupted)
        throw std::runtime_error("interrupted");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(what + " failed");
    }
}

// ImageMagick turns the kept frames into GIF images a batch at a time: it holds every frame it
// reads at eight bytes a pixel, and its default resource limits refuse a long run taken whole.
// gifsicle then joins the batches into one looping animation and optimises it across all frames.
// GIF delays count hundredths of a second: every K-th frame of 60 a second stands K / 60 s.
void assembleGif(const Options& o, ScratchFolder& scratch) {
    const size_t frameBytes = static_cast<size_t>(o.width) * static_cast<size_t>(o.height) * 8;
    const size_t batch = std::clamp<size_t>((size_t{128} << 20) / frameBytes, 1, 100);
    std::vector<std::string> joined = {"gifsicle", "--no-warnings", "--loopcount=forever",
                                       "--delay",
                                       std::to_string(std::max(2L, (o.every * 100 + 30) / 60))};
    for (size_t first = 0; first < scratch.frames.size(); first += batch) {
        const size_t end = std::min(first + batch, scratch.frames.size());
        std::vector<std::string> args = {"convert"};
        args.insert(args.end(), scratch.frames.begin() + static_cast<long>(first),
                    scratch.frames.begin() + static_cast<long>(end));
        args.push_back(scratch.add("batch-" + std::to_string(first / batch) + ".gif"));
        joined.push_back(args.back());
        runProgram(args, "ImageMagick's convert");
    }
    const std::string part = temporaryBeside(o.out);
    joined.insert(joined.end(), {"-O2", "-o", part});
    try {
        runProgram(joined, "gifsicle");
    } catch (...) {
        std::remove(part.c_str());
        throw;
    }
    if (std::rename(part.c_str(), o.out.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(part.c_str());
        tools::outputError("cannot write '" + o.out + "': " + reason);
    }
}

void printDrawList(const drawlist::draw_list_t& list) {
    for (const drawlist::draw_command& c : list.commands) {
        std::printf("%u", c.type);
        for (uint32_t i = 0; i < c.word_count; ++i) {
            const uint32_t word = list.words[c.first_word + i];
            if (drawlist::draw_code_has_integer_words(c.type)) {
                std::printf(" %u", word);
            } else {
                float f;
                std::memcpy(&f, &word, sizeof f);
                std::printf(" %.9g", static_cast<double>(f));
            }
        }
        std::putchar('\n');
    }
}

struct Progress {
    long total;
    bool shown = ::isatty(STDERR_FILENO) != 0;
    int last = -1;

    void update(long done) {
        if (!shown)
            return;
        const int width = 40;
        const int filled = static_cast<int>(done * width / total);
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == last)
            return;
        last = percent;
        std::fprintf(stderr, "\r[%s%s] %3d%% %ld/%ld", std::string(filled, '#').c_str(),
                     std::string(width - filled, '.').c_str(), percent, done, total);
        if (done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    void abandon() {
        if (shown && last >= 0 && last < 100)
            std::fputc('\n', stderr);
    }
};

void run(const Options& o) {
    frame::Engine engine;
    if (o.ownScript) {
        initEngineWithScript(engine, o.seed, o.script.c_str());
    } else {
        initEngineWithSeed(engine, o.seed);
    }
    drawlist::draw_list_t list;
    offscreen::OffscreenContext master(o.width, o.height);
    replay::setupView(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height));
    std::unique_ptr<offscreen::OffscreenContext> clone;
    if (o.windows >= 2) {
        clone = std::make_unique<offscreen::OffscreenContext>(o.width, o.height);
        replay::setupView(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height));
        master.makeCurrent();
    }
    std::unique_ptr<ScratchFolder> gifFrames;
    if (o.kind == OutKind::gif)
        gifFrames = std::make_unique<ScratchFolder>();

    Progress progress{o.frames};
    for (long frame = 1; frame <= o.frames; ++frame) {
        if (interrupted) {
            progress.abandon();
            throw std::runtime_error("interrupted");
        }
        const bool last = frame == o.frames;
        const bool kept = frame >= o.firstKept && (o.frames - frame) % o.every == 0;
        replay::renderFrame(engine, &list);

        const bool wanted = o.kind == OutKind::png ? last : o.kind != OutKind::none && kept;
        if (wanted) {
            std::vector<uint8_t> rgb;
            if (clone) {
                clone->makeCurrent();
                replay::replay_draw_list(list);
                rgb = clone->readPixels();
                master.makeCurrent();
            } else {
                rgb = master.readPixels();
            }
            if (o.kind == OutKind::png) {
                writePngAtomically(o.out, o, rgb);
            } else if (o.kind == OutKind::folder) {
                writePngAtomically(o.out + "/" + frameName(frame), o, rgb);
            } else {
                const std::string path = gifFrames->add(frameName(frame));
                gifFrames->frames.push_back(path);
                std::string error;
                if (!png::writePng(path, o.width, o.height, rgb, error)) {
                    throw std::runtime_error("cannot write a frame for the GIF: " + error);
                }
            }
        }
        progress.update(frame);
    }
    if (o.dump) {
        printDrawList(list);
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            tools::outputError(std::string("cannot write the draw list: ") + std::strerror(errno));
    }
    if (gifFrames)
        assembleGif(o, *gifFrames);
}

}  // namespace

int main(int argc, char** argv) {
    // Mesa's software rasteriser frees a large block at the top of the heap every frame; left to
    // its default, glibc hands those pages back to the kernel each time, and faulting them in
    // again costs more than drawing the frame.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    return tools::runTool("lumenweave-render", [&] {
        const Options options = parseArgs(argc, argv);
        if (options.kind == OutKind::folder && !isDirectory(options.out) &&
            ::mkdir(options.out.c_str(), 0777) != 0) {
            tools::outputError("cannot make the folder '" + options.out +
                               "': " + std::strerror(errno));
        }
        run(options);
        return 0;
    });
}
