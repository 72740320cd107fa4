// Reading a script for a tool: the whole text of a file, or of standard input for "-".
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "options.hpp"
#include "read_whole/read_whole.hpp"

namespace lumenweave::tools {

// A file that cannot be read is an output error that names it.
inline std::string readScript(const std::string& path) {
    const bool fromStdin = path == "-";
    std::FILE* in = fromStdin ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) {
        outputError("cannot read script '" + path + "': " + std::strerror(errno));
    }
    std::string text;
    const bool failed = !read_whole::readWhole(in, text);
    const int error = errno;
    if (!fromStdin) {
        std::fclose(in);
    }
    if (failed) {
        outputError("cannot read script '" + path + "': " + std::strerror(error));
    }
    return text;
}

}  // namespace lumenweave::tools
