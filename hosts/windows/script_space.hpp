// The space the program keeps in its image for one script, which the page writes into a copy of
// Lumenweave.scr (web/src/windows-saver.ts): its layout, and what the program makes of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace saver {

// The layout, little-endian, in the program's initialized data: the marker (its 16 characters,
// without a terminator, found once in the whole file), the capacity, the text's length and its
// CRC-32 (IEEE), then the text, zero-filled. Length 0 and CRC 0 is the empty space. The page
// takes the marker from here (web/tools/generate.mjs), the capacity from the file it writes into.
constexpr char space_marker[] = "LumenweaveSpace1";
// Bytes of UTF-8 text: some sixty times the longest example, for 64 KiB more of program.
constexpr uint32_t space_capacity = 65536;

struct script_space_t {
    char marker[16];
    uint32_t capacity;  // bytes
    uint32_t length;    // bytes of UTF-8 text
    uint32_t crc;       // CRC-32 of the text
    char text[space_capacity];
};
static_assert(sizeof space_marker == sizeof script_space_t::marker + 1, "16 marker bytes");
static_assert(offsetof(script_space_t, text) == 28 && sizeof(script_space_t) == 28 + space_capacity,
              "the layout the page writes");

enum class space_state {
    empty,           // nothing placed: the built-in script runs
    placed,          // a script whose length and CRC-32 hold: it runs in place of the built-in one
    length_outside,  // a length of 0 with a CRC, or above the capacity: the built-in script runs
    crc_differs,     // the text's CRC-32 is not the one recorded: the built-in script runs
};

struct space_reading {
    space_state state = space_state::empty;
    uint32_t length = 0;    // bytes, as recorded in the space
    uint32_t crc = 0;       // as recorded in the space
    uint32_t text_crc = 0;  // of the text read, once the length was found in range
    std::string text;       // the script, when placed
};

// Reads the space as the file holds it: the page changed it after the build.
space_reading read_script_space();

}  // namespace saver
