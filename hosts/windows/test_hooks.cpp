// The test build's hooks: failures forced through LUMENWEAVE_FAIL, the animation and a window's
// start held on request, and the lines on standard output that the end-to-end tests wait for.
#include "hosts/windows/test_hooks.hpp"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace saver::test {

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

bool forced(const wchar_t* check) {
    return environment(L"LUMENWEAVE_FAIL") == check;
}

const char* role(bool master) {
    return master ? "master" : "clone";
}

// Whole lines, each flushed at once: the tests read them while the program runs.
[[gnu::format(printf, 1, 2)]] void line(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

std::atomic<uint64_t> frames_computed{0};

}  // namespace

bool forced_failure(util::failure_id failure) {
    return forced(util::failure_of(failure).check);
}

bool forced_failure(quiet_failure failure) {
    return forced(failure == quiet_failure::create_context ? L"create_context" : L"make_current");
}

bool frame_held() {
    static const std::wstring hold_file = environment(L"LUMENWEAVE_HOLD");
    return !hold_file.empty() && GetFileAttributesW(hold_file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t frame_shown(bool computed) {
    return computed ? frames_computed.fetch_add(1) + 1 : frames_computed.load();
}

void log_frame(bool master, int64_t t0, int64_t t1, bool presented, int64_t frequency,
               int64_t deadline, int64_t presented_at, uint64_t shown) {
    line("frame %s %lu %lld %lld %d %lld %lld %lld %llu\n", role(master), GetCurrentThreadId(),
         static_cast<long long>(t0), static_cast<long long>(t1), presented ? 1 : 0,
         static_cast<long long>(frequency), static_cast<long long>(deadline),
         static_cast<long long>(presented_at), static_cast<unsigned long long>(shown));
}

void wait_to_run(HANDLE run_event, bool master) {
    if (WaitForSingleObject(run_event, 0) != WAIT_TIMEOUT) {
        return;
    }
    line("paused %s %lu\n", role(master), GetCurrentThreadId());
    WaitForSingleObject(run_event, INFINITE);
    line("resumed %s %lu\n", role(master), GetCurrentThreadId());
}

void log_mouse(long x, long y, const mouse_verdict& verdict) {
    line("mouse %ld %ld allow_close %d post_close %d\n", x, y, verdict.allow_close ? 1 : 0,
         verdict.post_close ? 1 : 0);
}

void log_clone_key() {
    line("key N\n");
}

void hold_before_show(bool master, HANDLE stop_event) {
    if (environment(L"LUMENWEAVE_HOLD_SHOW") != (master ? L"master" : L"clone")) {
        return;
    }
    line("show held %s %lu\n", role(master), GetCurrentThreadId());
    WaitForSingleObject(stop_event, 60000);
}

void log_script_space(const space_reading& reading) {
    switch (reading.state) {
        case space_state::empty:
            line("script built-in: the space is empty\n");
            break;
        case space_state::placed:
            line("script placed: %lu bytes\n", static_cast<unsigned long>(reading.length));
            break;
        case space_state::length_outside:
            line(
                "script built-in: the space's length %lu with CRC-32 %08lx is not one of 1 to %lu "
                "bytes\n",
                static_cast<unsigned long>(reading.length), static_cast<unsigned long>(reading.crc),
                static_cast<unsigned long>(space_capacity));
            break;
        case space_state::crc_differs:
            line("script built-in: the space's CRC-32 is %08lx, its %lu bytes of text have %08lx\n",
                 static_cast<unsigned long>(reading.crc),
                 static_cast<unsigned long>(reading.length),
                 static_cast<unsigned long>(reading.text_crc));
            break;
    }
}

}  // namespace saver::test
