// The monotonic clock of the Linux session.
#include "hosts/linux/clock.hpp"

#include <ctime>

namespace lumenweave::linux {

int64_t monotonic_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace lumenweave::linux
