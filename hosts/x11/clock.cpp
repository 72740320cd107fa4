// The clock that frames are paced by: the monotonic clock, which no change of the wall clock
// moves.
#include <ctime>

#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {

int64_t monotonic_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace lumenweave_x11
