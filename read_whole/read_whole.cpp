// Reading a whole stream, for the hosts and the tools.
#include "read_whole/read_whole.hpp"

namespace lumenweave::read_whole {

bool readWhole(std::FILE* in, std::string& text) {
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        text.append(chunk, n);
    }
    return std::ferror(in) == 0;
}

}  // namespace lumenweave::read_whole
