// Fuzz target: arbitrary wide strings through the host's command-line grammar.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "hosts/windows/command_line.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::wstring line(size / sizeof(wchar_t), L'\0');
    if (!line.empty()) {
        std::memcpy(line.data(), data, line.size() * sizeof(wchar_t));
    }
    const saver::launch_t launch = saver::parse_command_line(line.c_str());
    // Leading separators never change the answer, and only a preview carries a handle.
    const saver::launch_t padded = saver::parse_command_line((L" -/ " + line).c_str());
    if (padded.kind != launch.kind || padded.preview_handle != launch.preview_handle) {
        std::abort();
    }
    if (launch.kind != saver::launch_kind::preview && launch.preview_handle != 0) {
        std::abort();
    }
    return 0;
}
