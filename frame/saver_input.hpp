// The one rule by which pointer moves end a saver, taken by every host and by the page: the
// Windows program's. Keys and buttons always end a saver; this decides only about moves.
#pragma once

namespace lumenweave::frame {

// A saver ends on a move that lies more than this from the point last followed.
constexpr int saver_move_allowance = 4;  // pixels, horizontal plus vertical

// One saver run's pointer. Hosts that know where the pointer stands when the saver opens place
// the point there (place_pointer); the others leave it to the run's first move.
struct pointer_watch {
    bool moved = false;   // the run's first move has been seen
    bool placed = false;  // the point below is known
    int x = 0;            // pixels, in the host's screen space
    int y = 0;            // pixels
};

// What one move means.
struct pointer_step {
    bool first = false;  // the run's first move: a system may send one when the saver appears
                         // under a resting pointer, so it never ends the saver
    bool away = false;   // more than the allowance from the point; the point stays put
    bool ends_saver() const { return away && !first; }
};

// Sets the point without counting a move.
void place_pointer(pointer_watch& watch, int x, int y);

// Takes a move to (X, Y). A move within the allowance is followed: the point goes with it, so a
// slow drift never ends a saver. An unplaced point is placed by the move.
pointer_step watch_pointer(pointer_watch& watch, int x, int y);

}  // namespace lumenweave::frame
