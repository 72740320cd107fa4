// A rotation of the user's scripts in the Linux session: the sound scripts of the command line and
// the order they take turns in, one round after another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace lumenweave::linux {

// A script the run may start: read and checked clean.
struct listed_script_t {
    std::string name;              // the path, or "link N" for the Nth --link
    std::string text;              // the script
    std::optional<uint32_t> seed;  // a link's own ?seed=; none: --seed, or the clock
};

struct rotation_t {
    // The scripts that take turns; one alone is a rotation only with --every. Empty: the built-in
    // script runs.
    std::vector<listed_script_t> scripts;
    std::vector<std::size_t> order;  // this round's turns, indices into scripts
    std::size_t turn = 0;            // the script shown is scripts[order[turn]]
    // The animation's steps each turn lasts (60 a second): time the figure is drawn, so that a
    // rest while nobody can see it, or a still picture on battery, does not count. 0: no turns.
    uint64_t steps_per_turn = 0;
    bool shuffle = false;
    std::mt19937 random;  // shuffle: the rounds' orders
};

// The order of the next round of COUNT scripts: 0 to COUNT - 1 in turn or, with SHUFFLE, at
// random, with any script but LAST first (the one shown at the end of the round before, which
// would otherwise be shown twice in a row).
std::vector<std::size_t> round_order(std::size_t count, bool shuffle,
                                     std::optional<std::size_t> last, std::mt19937& random);

// Starts ROTATION's first round.
void start_rotation(rotation_t& rotation);
// Moves ROTATION on to the next turn, into a new round after the last; returns the script's index.
std::size_t next_turn(rotation_t& rotation);

}  // namespace lumenweave::linux
