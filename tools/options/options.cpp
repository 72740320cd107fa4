// The tools' shared command-line handling.
#include "options.hpp"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace lumenweave::tools {

namespace {

const char* toolName = "lumenweave";

}  // namespace

void usageError(const std::string& message) {
    throw UsageError{message + " (try --help)"};
}

void outputError(const std::string& message) {
    throw UsageError{message};
}

void parseFlags(int argc, char** argv, const char* usage, const std::vector<Flag>& flags,
                const std::function<void(const std::string& flag, const char* value)>& onFlag) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help") {
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (flag == "--version") {
            std::printf("%s %s\n", toolName, LUMENWEAVE_VERSION);
            std::exit(0);
        }
        const Flag* known = nullptr;
        for (const Flag& f : flags) {
            if (flag == f.name) {
                known = &f;
            }
        }
        if (!known) {
            usageError("unknown argument '" + flag + "'");
        }
        if (!known->takesValue) {
            onFlag(flag, nullptr);
        } else if (i + 1 >= argc) {
            usageError(flag + " needs a value");
        } else {
            onFlag(flag, argv[++i]);
        }
    }
}

long long parseNumber(const std::string& flag, const char* text, long long low, long long high) {
    const bool signAllowed = low < 0 && text[0] == '-';
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (!(std::isdigit(static_cast<unsigned char>(text[0])) || signAllowed) || end == text ||
        *end != '\0' || errno == ERANGE || v < low || v > high) {
        usageError(flag + " takes a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + ", not '" + text + "'");
    }
    return v;
}

Size parseSize(const std::string& flag, const char* text, int maxSide) {
    const char* x = std::strchr(text, 'x');
    if (x == nullptr) {
        usageError(flag + " takes WxH, not '" + text + "'");
    }
    const std::string w(text, x);
    return {static_cast<int>(parseNumber(flag, w.c_str(), 1, maxSide)),
            static_cast<int>(parseNumber(flag, x + 1, 1, maxSide))};
}

void report(const std::string& message) {
    std::string line = message;
    for (char& ch : line) {
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) {
            ch = '?';
        }
    }
    std::fprintf(stderr, "%s: %s\n", toolName, line.c_str());
}

int runTool(const char* name, const std::function<int()>& body) {
    toolName = name;
    try {
        return body();
    } catch (const UsageError& e) {
        report(e.message);
        return 2;
    } catch (const std::exception& e) {
        report(e.what());
        return 1;
    }
}

}  // namespace lumenweave::tools
