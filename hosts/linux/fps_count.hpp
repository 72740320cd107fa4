// The --fps readout's figures, which both Linux hosts count alike: frames presented in the last
// second and their mean drawing time, and the readout's text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumenweave::linux {

struct fps_count_t {
    int64_t window_start_ns = 0;    // start of the current one-second count
    int frames_in_window = 0;       // frames presented since window_start_ns
    int64_t work_in_window_ns = 0;  // drawing time of those frames
    double shown_fps = 0.0;         // frames per second of the last full count
    double shown_frame_ms = 0.0;    // mean drawing time of the last full count, milliseconds
};

// Counts a frame presented at PRESENT_NS (monotonic clock) that took WORK_NS to draw; the first
// frame only starts the count.
void count_fps_frame(fps_count_t& count, int64_t present_ns, int64_t work_ns);
// The readout, "60.0 fps  1.23 ms", into TEXT of SIZE bytes; returns its length.
int format_fps(const fps_count_t& count, char* text, size_t size);

}  // namespace lumenweave::linux
