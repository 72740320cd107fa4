// The host's only calls into the portable core: engine start, a frame of the master (recorded
// while mirrors are open), a mirror's replay and the view of a window.
#include "drawlist/drawlist.hpp"
#include "engine/frame.hpp"
#include "figure/view.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {

void core_start(const options_t& options) {
    if (options.seeded) {
        initEngineWithSeed(options.seed);
    } else {
        initEngine();
    }
}

void core_draw_master(unsigned window_count) {
    if (window_count > 1) {
        clear_draw_list();
    }
    renderFrame(window_count);
}

void core_draw_mirror() {
    replay_draw_list();
}

void core_view(uint32_t width, uint32_t height) {
    setupView(width, height);
}

}  // namespace lumenweave_x11
