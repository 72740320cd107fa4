// The command-line conventions of the tools: one flag loop, one ranged number parser and one way
// to stop on a bad argument (one line on standard error, exit status 2).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumenweave::tools {

// A bad argument, or an output that cannot be written; runTool reports it and exits with 2.
struct UsageError {
    std::string message;
};

// A bad argument: the message gets a pointer to --help.
[[noreturn]] void usageError(const std::string& message);
// An output the tool cannot write, found before any work is done.
[[noreturn]] void outputError(const std::string& message);

struct Flag {
    const char* name;
    bool takesValue;
};

// Walks the arguments: --help prints `usage` and exits with 0, --version prints the tool's name
// and version and exits with 0; any other argument must be one of `flags` and is handed to
// onFlag with its value (nullptr for a flag that takes none).
void parseFlags(int argc, char** argv, const char* usage, const std::vector<Flag>& flags,
                const std::function<void(const std::string& flag, const char* value)>& onFlag);

// A whole decimal number from low to high (a sign only where low is negative); anything else is
// a usage error that names the flag.
long long parseNumber(const std::string& flag, const char* text, long long low, long long high);

struct Size {
    int width;   // pixels
    int height;  // pixels
};
// WxH, each side a whole number from 1 to maxSide.
Size parseSize(const std::string& flag, const char* text, int maxSide);

// One line on standard error, "NAME: message", control characters shown as '?'.
void report(const std::string& message);

// Names the tool for report and --version, runs body and returns its exit status: 2 after a
// UsageError, 1 after any other exception, each reported.
int runTool(const char* name, const std::function<int()>& body);

}  // namespace lumenweave::tools
