// How the program was asked to run, read from its command line; no Windows calls, so the
// grammar is testable anywhere.
#pragma once

namespace saver {

enum class launch_kind { application, screensaver, preview, configure };

struct launch_t {
    launch_kind kind = launch_kind::application;
    // The preview parent's window handle as written on the command line; 0 if absent or malformed.
    unsigned long preview_handle = 0;
};

// Skips spaces, hyphens and slashes; the first other character chooses the launch,
// case-insensitively: "s" screensaver, "p" preview with a decimal handle after optional spaces,
// "c" configure, anything else (including the end of the line) application.
launch_t parse_command_line(const wchar_t* line);

}  // namespace saver
