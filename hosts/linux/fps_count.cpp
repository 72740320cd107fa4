// Counting the --fps readout's figures over one-second spans.
#include "hosts/linux/fps_count.hpp"

#include <algorithm>
#include <cstdio>

namespace lumenweave::linux {
namespace {

constexpr int64_t count_span_ns = 1'000'000'000;

}  // namespace

void count_fps_frame(fps_count_t& count, int64_t present_ns, int64_t work_ns) {
    if (count.window_start_ns == 0) {
        count.window_start_ns = present_ns;
        return;
    }
    ++count.frames_in_window;
    count.work_in_window_ns += work_ns;
    const int64_t span = present_ns - count.window_start_ns;
    if (span >= count_span_ns) {
        count.shown_fps = count.frames_in_window * 1e9 / static_cast<double>(span);
        count.shown_frame_ms = count.work_in_window_ns / 1e6 / count.frames_in_window;
        count.window_start_ns = present_ns;
        count.frames_in_window = 0;
        count.work_in_window_ns = 0;
    }
}

int format_fps(const fps_count_t& count, char* text, size_t size) {
    // snprintf counts what did not fit too.
    return std::clamp(
        std::snprintf(text, size, "%.1f fps  %.2f ms", count.shown_fps, count.shown_frame_ms), 0,
        static_cast<int>(size) - 1);
}

}  // namespace lumenweave::linux
