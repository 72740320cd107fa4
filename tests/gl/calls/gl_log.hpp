// A stand-in for the OpenGL and GLU entry points the core uses: linked into the call tests in
// place of the real libraries, it logs every call with its arguments instead of drawing.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;  // floats and integer words both convert to double exactly

    bool operator==(const GlCall& o) const { return name == o.name && args == o.args; }
};

extern std::vector<GlCall> glLog;

// Readable form for failure messages.
std::string toString(const GlCall& call);
void PrintTo(const GlCall& call, std::ostream* os);
