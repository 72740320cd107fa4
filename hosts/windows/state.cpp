// The host's process-wide state: its state record and the objects every thread shares, created
// here in a fixed order before the entry point.
#include <cstdlib>

#include "hosts/windows/failure.hpp"
#include "hosts/windows/host.hpp"
#include "hosts/windows/test_hooks.hpp"

using namespace lumenweave;

namespace saver {

host_state host;

namespace {

// The run event exists before the entry point and its handler: a failure to create it can only
// be shown and end the process.
struct run_event_holder {
    run_event_holder() {
        if (!test::forced_failure(util::failure_id::run_event)) {
            handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        }
        if (handle == nullptr) {
            util::show_failure(util::failure_id::run_event);
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
drawlist::draw_list_t draw_list;
static run_event_holder run_event_object;
HANDLE run_event = run_event_object.handle;
std::atomic<int> window_count{0};
win_critical_section list_lock;
static window_list_holder window_list_object;
std::list<window_record>& window_list = window_list_object.records;
frame::Engine& engine = *new frame::Engine;

}  // namespace saver
