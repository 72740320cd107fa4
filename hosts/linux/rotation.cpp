// The order in which a rotation's scripts take turns.
#include "hosts/linux/rotation.hpp"

#include <algorithm>
#include <numeric>

namespace lumenweave::linux {

std::vector<std::size_t> round_order(std::size_t count, bool shuffle,
                                     std::optional<std::size_t> last, std::mt19937& random) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (!shuffle || count < 2) {
        return order;
    }
    std::shuffle(order.begin(), order.end(), random);
    if (last && order[0] == *last) {
        std::uniform_int_distribution<std::size_t> other(1, count - 1);
        std::swap(order[0], order[other(random)]);
    }
    return order;
}

void start_rotation(rotation_t& rotation) {
    rotation.order =
        round_order(rotation.scripts.size(), rotation.shuffle, std::nullopt, rotation.random);
    rotation.turn = 0;
}

std::size_t next_turn(rotation_t& rotation) {
    if (++rotation.turn >= rotation.order.size()) {
        rotation.order = round_order(
            rotation.scripts.size(), rotation.shuffle,
            rotation.order.empty() ? std::nullopt : std::optional(rotation.order.back()),
            rotation.random);
        rotation.turn = 0;
    }
    return rotation.order.empty() ? 0 : rotation.order[rotation.turn];
}

}  // namespace lumenweave::linux
