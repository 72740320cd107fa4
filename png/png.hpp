// Writing RGB pictures as PNG files (libpng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumenweave::png {

// Writes width x height RGB bytes, top row first, to path; false with a reason in error when the
// file cannot be written (a partly written file is removed).
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error);

}  // namespace lumenweave::png
