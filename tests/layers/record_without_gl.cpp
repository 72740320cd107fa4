// A program of the core alone: it records frames of the built-in animation with no graphics
// library linked, and checks that each is a whole frame (the clear first, the finish last).
#include <cstdio>

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"

using namespace lumenweave;

int main() {
    frame::Engine engine;
    initEngineWithSeed(engine, 1);
    drawlist::draw_list_t list;
    size_t largest = 0;
    for (int frame = 1; frame <= 600; ++frame) {
        recordFrame(engine, list);
        const std::vector<drawlist::draw_command>& c = list.commands;
        if (c.size() < 3 || c.front().type != drawlist::draw_clear ||
            c.back().type != drawlist::draw_finish) {
            std::fprintf(stderr, "frame %d: not a whole frame (%zu commands)\n", frame, c.size());
            return 1;
        }
        largest = c.size() > largest ? c.size() : largest;
    }
    std::printf("600 frames recorded, up to %zu commands each\n", largest);
    return 0;
}
