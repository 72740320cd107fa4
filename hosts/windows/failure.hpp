// The program's one exception type: a fatal host failure carried to the entry point.
#pragma once

#include <exception>

namespace saver::util {

struct failure_t : std::exception {
    explicit failure_t(const wchar_t* text) : text(text) {}
    const char* what() const noexcept override { return "Lumenweave failure"; }
    const wchar_t* text;
};

}  // namespace saver::util
