// Where the script's trace lines and warnings go: a function the host gives, so that the core
// itself never prints.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace lumenweave::script {

// `line` receives one line at a time, without its line feed, and the `context` given with it.
// With no function the lines go nowhere.
struct ScriptLog {
    void (*line)(void* context, const char* text) = nullptr;
    void* context = nullptr;
};

inline void writeLine(const ScriptLog& log, const std::string& text) {
    if (log.line) {
        log.line(log.context, text.c_str());
    }
}

// Appends printf-style formatted text to `out`; how the trace lines are built.
__attribute__((format(printf, 2, 3))) inline std::string& appendFormatted(std::string& out,
                                                                          const char* format, ...) {
    char small[256];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n >= static_cast<int>(sizeof small)) {
        std::string large(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(large.data(), large.size(), format, again);
        out.append(large.data(), static_cast<std::size_t>(n));
    } else if (n > 0) {
        out.append(small, static_cast<std::size_t>(n));
    }
    va_end(again);
    return out;
}

}  // namespace lumenweave::script
