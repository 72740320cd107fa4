// The check every vocabulary table of the Linux program passes at build time: one entry for each
// value of its enum, in the enum's order, so that a value indexes its entry.
#pragma once

#include <cstddef>

namespace lumenweave::linux {

// True when TABLE's entries name KIND_T's values from the first to LAST, each once and in order.
template <typename kind_t, typename entry_t, std::size_t size>
constexpr bool table_covers(const entry_t (&table)[size], kind_t last) {
    if (size != static_cast<std::size_t>(last) + 1) {
        return false;
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<std::size_t>(table[i].kind) != i) {
            return false;
        }
    }
    return true;
}

}  // namespace lumenweave::linux
