// The script space itself, the one object of the program that holds it, and its reading at start.
#include "hosts/windows/script_space.hpp"

#include <cstddef>
#include <utility>

namespace saver {
namespace {

constexpr script_space_t empty_space() {
    script_space_t space{};
    for (std::size_t i = 0; i < sizeof space.marker; ++i) {
        space.marker[i] = space_marker[i];
    }
    space.capacity = space_capacity;
    return space;
}

// Volatile, since the bytes the program runs with are not the ones it was compiled with: every
// read goes to the image, never to what the compiler knows of the empty space.
const volatile script_space_t script_space = empty_space();

// CRC-32 as zlib and the page compute it: reflected, polynomial 0xEDB88320.
uint32_t crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace

space_reading read_script_space() {
    space_reading reading;
    reading.length = script_space.length;
    reading.crc = script_space.crc;
    if (reading.length == 0 && reading.crc == 0) {
        return reading;
    }
    if (reading.length == 0 || reading.length > space_capacity) {
        reading.state = space_state::length_outside;
        return reading;
    }
    std::string text(reading.length, '\0');
    for (uint32_t i = 0; i < reading.length; ++i) {
        text[i] = script_space.text[i];
    }
    reading.text_crc = crc32(text);
    if (reading.text_crc != reading.crc) {
        reading.state = space_state::crc_differs;
        return reading;
    }
    reading.state = space_state::placed;
    reading.text = std::move(text);
    return reading;
}

}  // namespace saver
