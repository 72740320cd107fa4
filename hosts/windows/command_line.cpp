// The screensaver command-line grammar.
#include "hosts/windows/command_line.hpp"

#include <cwchar>

namespace saver {

launch_t parse_command_line(const wchar_t* line) {
    launch_t launch;
    if (line == nullptr) {
        return launch;
    }
    while (*line == L' ' || *line == L'-' || *line == L'/') {
        ++line;
    }
    switch (*line) {
        case L's':
        case L'S':
            launch.kind = launch_kind::screensaver;
            break;
        case L'p':
        case L'P':
            launch.kind = launch_kind::preview;
            ++line;
            while (*line == L' ') {
                ++line;
            }
            launch.preview_handle = std::wcstoul(line, nullptr, 10);
            break;
        case L'c':
        case L'C':
            launch.kind = launch_kind::configure;
            break;
        default:
            break;
    }
    return launch;
}

}  // namespace saver
