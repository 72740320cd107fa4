// The host's process-wide state: host settings, the objects every thread shares (created here
// in a fixed order before the entry point) and the failure report.
#include <cstdlib>

#include "host/failure.hpp"
#include "host/host.hpp"
#include "host/test_hooks.hpp"

namespace saver {

HINSTANCE instance_handle = nullptr;
int show_command = SW_SHOWNORMAL;
int run_mode = 0;
HWND preview_parent = nullptr;
int display_mode = 0;
bool close_allowed = false;
DWORD main_thread_id = 0;
std::atomic<bool> render_thread_failed{false};

namespace {

// The run event exists before the entry point and its handler: a failure to create it can only
// be shown and end the process.
struct run_event_holder {
    run_event_holder() {
        if (!test::forced_failure(L"run_event")) {
            handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        }
        if (handle == nullptr) {
            MessageBoxW(nullptr, L"CreateEvent failed.", L"Error", MB_ICONERROR);
            std::_Exit(1);
        }
    }
    ~run_event_holder() { CloseHandle(handle); }
    HANDLE handle = nullptr;
};

struct window_list_holder {
    ~window_list_holder() {
        for (window_record& record : records) {
            CloseHandle(record.ready_event);
            CloseHandle(record.stop_event);
        }
    }
    std::list<window_record> records;
};

}  // namespace

host_frame_lock frame_lock;
draw_list_t draw_list;
static run_event_holder run_event_object;
HANDLE run_event = run_event_object.handle;
std::atomic<int> window_count{0};
win_critical_section list_lock;
static window_list_holder window_list_object;
std::list<window_record>& window_list = window_list_object.records;
Engine& engine = *new Engine;

namespace util {

void report_failure(const wchar_t* text) {
    MessageBoxW(nullptr, text, L"Error", MB_ICONERROR);
    throw failure_t(text);
}

}  // namespace util

}  // namespace saver
