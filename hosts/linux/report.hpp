// The one form of the Linux program's failure lines on standard error, which both hosts' failure
// tables report through: "lumenweave: TEXT" or "lumenweave: TEXT: DETAIL".
#pragma once

#include <cstdio>

namespace lumenweave_linux {

// Reports the text that TABLE (entries with .kind and .text) gives KIND, with DETAIL if any.
template <typename Table, typename Kind>
void report_from(const Table& table, Kind kind, const char* detail) {
    const char* text = "unknown failure";
    for (const auto& entry : table) {
        if (entry.kind == kind) {
            text = entry.text;
        }
    }
    if (detail != nullptr) {
        std::fprintf(stderr, "lumenweave: %s: %s\n", text, detail);
    } else {
        std::fprintf(stderr, "lumenweave: %s\n", text);
    }
}

}  // namespace lumenweave_linux
