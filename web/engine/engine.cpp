// The core's C interface for JavaScript: one engine and one draw list per module, started with a
// seed and a script text, recording frames; each frame's mesh; the checker's problems; and
// the saver's move rule; the actuators' values; and, but in the page's module, the lumenweave-sim
// output that the Node command line prints.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawlist/drawlist.hpp"
#include "drawlist/mesh.hpp"
#include "drawlist/view.hpp"
#include "engine/settings.hpp"
#include "frame/frame.hpp"
#include "frame/saver_input.hpp"
#include "lumenweave/version.hpp"
#include "script/check.hpp"
#include "script/parser.hpp"
#include "sim_output/sim_output.hpp"

#define LW_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace lumenweave::web {
namespace {

void printLogLine(void*, const char* text) {
#ifdef LUMENWEAVE_PAGE_MODULE
    (void)text;  // the page shows no trace
#else
    std::printf("%s\n", text);
#endif
}

frame::Engine engine;
// The frame last recorded, which the page shows: a new start keeps it until its own first frame,
// so that a resize in between draws it again.
drawlist::draw_list_t list;
drawlist::frame_mesh mesh;
std::vector<script::ScriptProblem> problems;
frame::pointer_watch saver_pointer;

}  // namespace

// Memory for the texts JavaScript hands over.
LW_EXPORT(lw_alloc) void* lw_alloc(uint32_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

LW_EXPORT(lw_free) void lw_free(void* memory) {
    std::free(memory);
}

// A fresh engine on seed t, running the NUL-terminated script, or the built-in one for null.
// The trace module's trace lines go to standard output, as lumenweave-sim --trace prints them.
LW_EXPORT(lw_start) void lw_start(uint32_t t, const char* script) {
    engine.sequencer.log = script::ScriptLog{printLogLine, nullptr};
    if (script) {
        initEngineWithScript(engine, t, script);
    } else {
        initEngineWithSeed(engine, t);
    }
}

LW_EXPORT(lw_record_frame) void lw_record_frame() {
    recordFrame(engine, list);
}

LW_EXPORT(lw_advance_frame) void lw_advance_frame() {
    advanceFrame(engine);
}

// The value of the actuator in slot `index` now (after the last step), NaN for an empty slot.
LW_EXPORT(lw_actuator_value) float lw_actuator_value(int32_t index) {
    const engine::Actuator* actuator = findActuator(engine.bank, index);
    return actuator ? actuator->value : __builtin_nanf("");
}

// The mesh of the frame last recorded for a drawing buffer of width x height pixels, outlines
// line_width pixels wide: its vertices (mesh_vertex, seven floats each), valid until the next call.
LW_EXPORT(lw_mesh)
const drawlist::mesh_vertex* lw_mesh(uint32_t width, uint32_t height, float line_width) {
    build_mesh(list, drawlist::view_for(width, height), width, height, line_width, mesh);
    return mesh.vertices.data();
}

LW_EXPORT(lw_mesh_vertex_count) uint32_t lw_mesh_vertex_count() {
    return static_cast<uint32_t>(mesh.vertices.size());
}

// 1 when the mesh's frame clears the colour buffer to black before its triangles.
LW_EXPORT(lw_mesh_clears) int32_t lw_mesh_clears() {
    return mesh.clears ? 1 : 0;
}

// A saver run starts: its first pointer move will set the point.
LW_EXPORT(lw_saver_start) void lw_saver_start() {
    saver_pointer = frame::pointer_watch{};
}

// 1 when a pointer move to (x, y), in screen pixels, ends the saver.
LW_EXPORT(lw_saver_pointer) int32_t lw_saver_pointer(int32_t x, int32_t y) {
    return watch_pointer(saver_pointer, x, y).ends_saver() ? 1 : 0;
}

// Checks length bytes of text (NULs included); the problems stay until the next check.
LW_EXPORT(lw_check) uint32_t lw_check(const char* text, uint32_t length) {
    problems = script::checkScript(std::string_view(text, length));
    return static_cast<uint32_t>(problems.size());
}

LW_EXPORT(lw_problem_line) int32_t lw_problem_line(uint32_t i) {
    return problems[i].line;
}

// 1 for a warning, 0 for an error.
LW_EXPORT(lw_problem_warning) int32_t lw_problem_warning(uint32_t i) {
    return problems[i].severity == script::Severity::warning ? 1 : 0;
}

LW_EXPORT(lw_problem_message) const char* lw_problem_message(uint32_t i) {
    return problems[i].message.data();
}

LW_EXPORT(lw_problem_message_length) uint32_t lw_problem_message_length(uint32_t i) {
    return static_cast<uint32_t>(problems[i].message.size());
}

#ifndef LUMENWEAVE_PAGE_MODULE
// The problem as lumenweave-sim --check prints it, with its line feed, on standard output.
LW_EXPORT(lw_print_problem) void lw_print_problem(uint32_t i, const char* file) {
    std::printf("%s\n", formatProblem(file, problems[i]).c_str());
}

LW_EXPORT(lw_print_values) void lw_print_values(uint64_t k) {
    sim_output::printValues(engine.bank, static_cast<unsigned long long>(k));
}

LW_EXPORT(lw_flush) int32_t lw_flush() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 1 : 0;
}

#endif

// Whether this module was built on the trace core.
LW_EXPORT(lw_traces) int32_t lw_traces() {
    return engine::traceSetting ? 1 : 0;
}

// The script the program carries, which the page's editor starts with.
LW_EXPORT(lw_builtin_script) const char* lw_builtin_script() {
    return script::builtinScript;
}

#ifndef LUMENWEAVE_PAGE_MODULE
LW_EXPORT(lw_usage) const char* lw_usage() {
    static const std::string text = sim_output::usage();
    return text.c_str();
}

LW_EXPORT(lw_list_actuators) void lw_list_actuators() {
    sim_output::printActuatorList();
}

#endif

LW_EXPORT(lw_version) const char* lw_version() {
    return LUMENWEAVE_VERSION;
}

}  // namespace lumenweave::web
