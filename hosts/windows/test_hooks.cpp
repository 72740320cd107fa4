// The test build's hooks: failures forced through LUMENWEAVE_FAIL and per-frame pacing lines.
#include "hosts/windows/test_hooks.hpp"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace saver::test {

namespace {

bool forced(const wchar_t* check) {
    wchar_t wanted[64];
    const DWORD length = GetEnvironmentVariableW(L"LUMENWEAVE_FAIL", wanted, 64);
    return length > 0 && length < 64 && std::wcscmp(wanted, check) == 0;
}

}  // namespace

bool forced_failure(util::failure_id failure) {
    return forced(util::failure_of(failure).check);
}

bool forced_failure(quiet_failure failure) {
    return forced(failure == quiet_failure::create_context ? L"create_context" : L"make_current");
}

void delay_before_show() {
    wchar_t text[16];
    const DWORD length = GetEnvironmentVariableW(L"LUMENWEAVE_SHOW_DELAY_MS", text, 16);
    if (length > 0 && length < 16) {
        Sleep(std::wcstoul(text, nullptr, 10));
    }
}

void log_frame(bool master, int64_t t0, int64_t t1, bool presented, int64_t frequency,
               int64_t deadline, int64_t presented_at) {
    std::printf("frame %s %lu %lld %lld %d %lld %lld %lld\n", master ? "master" : "clone",
                GetCurrentThreadId(), static_cast<long long>(t0), static_cast<long long>(t1),
                presented ? 1 : 0, static_cast<long long>(frequency),
                static_cast<long long>(deadline), static_cast<long long>(presented_at));
    std::fflush(stdout);
}

}  // namespace saver::test
