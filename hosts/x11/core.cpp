// The host's only calls into the portable core: engine start, a frame of the master (recorded
// while mirrors are open), a mirror's replay and the view of a window.
#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "figure/view.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {

void core_start(host_t& host) {
    if (host.options.seeded) {
        initEngineWithSeed(host.engine, host.options.seed);
    } else {
        initEngine(host.engine);
    }
}

void core_draw_master(host_t& host) {
    if (host.surfaces.size() > 1) {
        clear_draw_list(host.draw_list);
        renderFrame(host.engine, &host.draw_list);
    } else {
        renderFrame(host.engine, nullptr);
    }
}

void core_draw_mirror(const host_t& host) {
    replay_draw_list(host.draw_list);
}

void core_view(uint32_t width, uint32_t height) {
    setupView(width, height);
}

}  // namespace lumenweave_x11
