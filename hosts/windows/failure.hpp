// The host's fatal failures: one id each with the text the user is shown, the one function that
// shows it, and the exception that carries a failure to the entry point.
#pragma once

#include <cstddef>
#include <exception>

namespace saver::util {

enum class failure_id {
    run_event,
    register_class,
    create_event,
    create_window,
    create_thread,
    choose_pixel_format,
    set_pixel_format,
    get_message,
    monitor,
    monitor_info,
};

struct failure_entry {
    failure_id id;
    const wchar_t* check;  // the name that forces it in the test build (LUMENWEAVE_FAIL)
    const wchar_t* text;   // what the error box says
};

// In the order of failure_id, so that an id indexes its entry.
constexpr failure_entry failure_table[] = {
    {failure_id::run_event, L"run_event", L"CreateEvent failed."},
    {failure_id::register_class, L"register_class", L"RegisterClass failed."},
    {failure_id::create_event, L"create_event", L"CreateEvent failed."},
    {failure_id::create_window, L"create_window", L"Unable to create window."},
    {failure_id::create_thread, L"create_thread", L"CreateThread failed."},
    {failure_id::choose_pixel_format, L"choose_pixel_format",
     L"Cannot find a suitable pixel format."},
    {failure_id::set_pixel_format, L"set_pixel_format",
     L"SetPixelFormat failed:  cannot set format specified."},
    {failure_id::get_message, L"get_message", L"Internal Windows error."},
    {failure_id::monitor, L"monitor", L"Monitor disappeared!"},
    {failure_id::monitor_info, L"monitor_info", L"Error getting monitor info."},
};

constexpr bool failure_table_in_order() {
    for (std::size_t i = 0; i < sizeof failure_table / sizeof failure_table[0]; ++i) {
        if (static_cast<std::size_t>(failure_table[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(failure_table_in_order() &&
                  sizeof failure_table / sizeof failure_table[0] ==
                      static_cast<std::size_t>(failure_id::monitor_info) + 1,
              "every failure_id has its entry, in order");

constexpr const failure_entry& failure_of(failure_id id) {
    return failure_table[static_cast<std::size_t>(id)];
}

struct failure_t : std::exception {
    explicit failure_t(failure_id id) : id(id) {}
    const char* what() const noexcept override { return "Lumenweave failure"; }
    failure_id id;
};

// Shows the failure's text in an error box, on whichever thread meets it.
void show_failure(failure_id id);

// Shows the failure and throws failure_t with it; the entry point shows it once more.
[[noreturn]] void report_failure(failure_id id);

}  // namespace saver::util
