// The one wait of the Linux program, for both hosts: one ppoll over the display connection, the
// stop signals, the user's script and the power supply, until a deadline. It only waits and says
// what is ready; the session (session.hpp) decides what follows.
#pragma once

#include <cstdint>

namespace lumenweave::linux {

// The descriptors waited on; -1 for one the run does not have (no script followed, no system bus).
struct wait_sources_t {
    int display;
    int script;  // the script's watch
    int power;   // the power source's bus
    short power_events;
};

// What was ready when the wait ended; several at once may be.
struct wait_news_t {
    bool stop = false;          // a stop signal came
    bool script = false;        // the script's watch has news
    bool power = false;         // the power source's bus has news
    bool display = false;       // something to read on the connection (or its end)
    bool display_lost = false;  // the connection broke with nothing left to read
    bool deadline = false;      // the deadline passed with nothing ready
};

// Waits until DEADLINE_NS on the monotonic clock (0: no deadline) for the first news of SOURCES
// or a stop signal. A deadline already past still looks at each once.
wait_news_t wait_on(const wait_sources_t& sources, int64_t deadline_ns);

}  // namespace lumenweave::linux
