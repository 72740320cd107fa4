// The script checker: reads a script line by line as the parser does, runs nothing, and lists
// every line that would not do what it seems to, with its line number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ScriptProblem {
    int line = 0;  // from 1
    std::string message;
};

// Every problem of the script in line order; empty for a clean script. The whole text is read,
// so that a NUL character, where the parser stops, is reported too.
std::vector<ScriptProblem> checkScript(std::string_view text);
// "FILE:LINE: message" without a line feed.
std::string formatProblem(std::string_view file, const ScriptProblem& problem);
