// A stand-in for the GL library in the recording benchmark: the frame's GL calls cost nothing,
// or each one is recorded into the baseline list, exactly where the renderer would record it.
#pragma once

// While true, every GL call of a frame is also recorded into lumenweave::bench::list.
extern bool feedBaseline;
