// Reading a whole stream into a string: how the hosts and the tools take in a script, from a file
// or standard input that they opened themselves. Outside the core, which never reads.
#pragma once

#include <cstdio>
#include <string>

namespace lumenweave::read_whole {

// Appends everything left to read in `in` to `text`. False if reading failed (errno says why).
bool readWhole(std::FILE* in, std::string& text);

}  // namespace lumenweave::read_whole
