// The script checker: reads a script line by line as the parser does, runs nothing, and lists
// every line that would not do what it seems to, with its line number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumenweave::script {

// An error is a line that does not run as written (a program refuses the script); a warning is
// one that runs with a meaning of its own, which is probably not the one meant.
enum class Severity { error, warning };

struct ScriptProblem {
    int line = 0;  // from 1
    std::string message;
    Severity severity = Severity::error;
};

// Every problem of the script in line order; empty for a clean script. The whole text is read,
// so that a NUL character, where the parser stops, is reported too.
std::vector<ScriptProblem> checkScript(std::string_view text);
// Whether any problem is an error: only then is the script refused.
bool hasErrors(const std::vector<ScriptProblem>& problems);
// "FILE:LINE: message", or "FILE:LINE: warning: message", without a line feed.
std::string formatProblem(std::string_view file, const ScriptProblem& problem);

}  // namespace lumenweave::script
