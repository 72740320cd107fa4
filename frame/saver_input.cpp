// The saver's move rule, once for every host.
#include "frame/saver_input.hpp"

#include <cstdlib>

namespace lumenweave::frame {

void place_pointer(pointer_watch& watch, int x, int y) {
    watch.placed = true;
    watch.x = x;
    watch.y = y;
}

pointer_step watch_pointer(pointer_watch& watch, int x, int y) {
    pointer_step step;
    step.first = !watch.moved;
    watch.moved = true;
    if (!watch.placed) {
        place_pointer(watch, x, y);
        return step;
    }
    // In long arithmetic: points far apart on a wide virtual screen cannot overflow.
    const long distance =
        std::labs(static_cast<long>(watch.x) - x) + std::labs(static_cast<long>(watch.y) - y);
    if (distance > saver_move_allowance) {
        step.away = true;
    } else {
        place_pointer(watch, x, y);
    }
    return step;
}

}  // namespace lumenweave::frame
