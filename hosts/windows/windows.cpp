// The program's windows: the window list, master and clone windows on the monitors, the
// display-mode cycle, and the window procedure with the conditions that end the screensaver.
#include <mutex>
#include <vector>

#include "hosts/windows/failure.hpp"
#include "hosts/windows/host.hpp"
#include "hosts/windows/test_hooks.hpp"

using namespace lumenweave;

namespace saver {
namespace {

struct window_styles {
    DWORD style;
    DWORD ex_style;
};

window_styles styles_for(display_kind mode) {
    window_styles styles;
    if (host.preview_parent != nullptr) {
        styles = {WS_CHILD, 0};
    } else if (host.run == run_kind::screensaver) {
        styles = {WS_POPUP, WS_EX_TOPMOST};
    } else if (mode == display_kind::windowed) {
        styles = {WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW};
    } else {
        styles = {WS_POPUP, WS_EX_APPWINDOW};
    }
    styles.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return styles;
}

window_record* record_of(HWND window) {
    return reinterpret_cast<window_record*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The window rectangle that gives a client area of the given size.
RECT grown(RECT client, const window_styles& styles) {
    AdjustWindowRectEx(&client, styles.style, FALSE, styles.ex_style);
    return client;
}

void tell_window_count() {
    std::lock_guard<win_critical_section> guard(list_lock);
    for (const window_record& record : window_list) {
        PostThreadMessageW(record.thread_id, window_count_message,
                           static_cast<WPARAM>(window_count.load()), 0);
    }
}

void close_record_events(window_record& record) {
    if (record.ready_event != nullptr) {
        CloseHandle(record.ready_event);
    }
    if (record.stop_event != nullptr) {
        CloseHandle(record.stop_event);
    }
}

void unlink_record(window_record& record) {
    std::lock_guard<win_critical_section> guard(list_lock);
    for (auto it = window_list.begin(); it != window_list.end(); ++it) {
        if (&*it == &record) {
            close_record_events(record);
            window_list.erase(it);
            return;
        }
    }
}

// Counts a new window and appends its record, both events made, placed where the system puts a
// new window with the windowed client size.
window_record& append_record(bool master) {
    std::lock_guard<win_critical_section> guard(list_lock);
    window_record record;
    record.master = master;
    record.window_count = static_cast<unsigned>(window_count.fetch_add(1) + 1);
    if (!test::forced_failure(util::failure_id::create_event)) {
        record.ready_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        record.stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    if (record.ready_event == nullptr || record.stop_event == nullptr) {
        close_record_events(record);
        window_count.fetch_sub(1);
        util::report_failure(util::failure_id::create_event);
    }
    window_list.push_back(record);
    return window_list.back();
}

HWND create_window(window_record& record, const window_styles& styles) {
    const RECT outer = grown({0, 0, record.width, record.height}, styles);
    const wchar_t* title = record.master ? L"Lumenweave (master)" : L"Lumenweave (clone)";
    HWND window = nullptr;
    if (!test::forced_failure(util::failure_id::create_window)) {
        window = CreateWindowExW(styles.ex_style, L"Lumenweave", title, styles.style, record.x,
                                 record.y, outer.right - outer.left, outer.bottom - outer.top,
                                 host.preview_parent, nullptr, host.instance, &record);
    }
    if (window == nullptr && host.preview_parent == nullptr) {
        util::report_failure(util::failure_id::create_window);
    }
    record.window = window;
    return window;
}

// What opening a master or a clone has in common, once its record is placed: creates the window
// with the styles of MODE and starts its render thread. False when a preview window could not be
// created; the window is then no longer counted and its record is gone.
bool open_window(window_record& record, display_kind mode) {
    if (create_window(record, styles_for(mode)) == nullptr) {
        window_count.fetch_sub(1);
        unlink_record(record);
        return false;
    }
    start_render_thread(record);
    return true;
}

RECT display_rectangle(HWND window) {
    if (host.display_mode == display_kind::virtual_screen) {
        const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    HMONITOR monitor = test::forced_failure(util::failure_id::monitor)
                           ? nullptr
                           : MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr) {
        util::report_failure(util::failure_id::monitor);
    }
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (test::forced_failure(util::failure_id::monitor_info) || !GetMonitorInfoW(monitor, &info)) {
        util::report_failure(util::failure_id::monitor_info);
    }
    return info.rcMonitor;
}

void place_record(window_record& record, const RECT& area) {
    record.x = area.left;
    record.y = area.top;
    record.width = area.right - area.left;
    record.height = area.bottom - area.top;
}

// Ends the record's thread, destroys its window (unless the window is already being destroyed
// by someone else) and frees the record. The caller holds the list lock.
void retire(window_record& record, bool destroy_window) {
    window_count.fetch_sub(1);
    stop_render_thread(record);
    HWND window = record.window;
    if (destroy_window) {
        DestroyWindow(window);
    } else {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    unlink_record(record);
}

void close_window(window_record& record, bool destroying) {
    SetEvent(run_event);
    std::lock_guard<win_critical_section> guard(list_lock);
    if (record.master) {
        while (!window_list.empty()) {
            window_record& first = window_list.front();
            retire(first, !(destroying && &first == &record));
        }
        return;
    }
    retire(record, !destroying);
    tell_window_count();
}

BOOL CALLBACK collect_monitor(HMONITOR, HDC, LPRECT area, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*area);
    return TRUE;
}

void open_window_per_monitor() {
    // Collected first and acted on afterwards, so that a failure is not thrown through the
    // system's enumeration.
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
    bool first = true;
    for (const RECT& area : monitors) {
        if (first) {
            window_record& master = window_list.front();
            place_record(master, area);
            MoveWindow(master.window, master.x, master.y, master.width, master.height, TRUE);
            first = false;
            continue;
        }
        window_record& clone = append_record(false);
        place_record(clone, area);
        if (open_window(clone, display_kind::per_monitor)) {
            MoveWindow(clone.window, clone.x, clone.y, clone.width, clone.height, TRUE);
        }
    }
}

void close_clones() {
    std::lock_guard<win_critical_section> guard(list_lock);
    for (auto it = window_list.rbegin(); it != window_list.rend(); ++it) {
        if (!it->master) {
            SetEvent(it->stop_event);
            PostMessageW(it->window, WM_CLOSE, 0, 0);
        }
    }
}

void lay_out_master(const window_styles& styles) {
    window_record& master = window_list.front();
    ShowWindow(master.window, SW_HIDE);
    SetWindowLongPtrW(master.window, GWL_STYLE, static_cast<LONG_PTR>(styles.style));
    SetWindowLongPtrW(master.window, GWL_EXSTYLE, static_cast<LONG_PTR>(styles.ex_style));
    RECT outer;
    int left;
    int top;
    if (host.display_mode == display_kind::windowed) {
        outer = grown({0, 0, frame::application_width, frame::application_height}, styles);
        left = master.saved_left;
        top = master.saved_top;
    } else {
        outer = grown(display_rectangle(master.window), styles);
        left = outer.left;
        top = outer.top;
    }
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(master.window, HWND_TOP, left, top, width, height, SWP_FRAMECHANGED);
    MoveWindow(master.window, left, top, width, height, TRUE);
    ShowWindow(master.window, SW_SHOW);
}

}  // namespace

bool create_master_window() {
    window_record& record = append_record(true);
    if (host.preview_parent != nullptr) {
        RECT client = {};
        GetClientRect(host.preview_parent, &client);
        record.width = client.right;
        record.height = client.bottom;
    } else if (host.run == run_kind::screensaver) {
        place_record(record, display_rectangle(nullptr));
        host.cursor_display_count = ShowCursor(FALSE);
    }
    // Only a preview can fail here: nothing to show, so the program ends with its failure code.
    return open_window(record, host.display_mode);
}

void create_clone_window() {
    open_window(append_record(false), host.display_mode);
}

void cycle_display_mode() {
    host.display_mode = next_display_mode(host.display_mode, GetSystemMetrics(SM_CMONITORS));
    if (host.display_mode == display_kind::windowed) {
        host.cursor_display_count = ShowCursor(TRUE);
    } else if (cursor_needs_hiding(host.cursor_display_count)) {
        host.cursor_display_count = ShowCursor(FALSE);
    }
    if (host.display_mode == display_kind::per_monitor) {
        open_window_per_monitor();
        return;
    }
    if (window_count.load() >= 2) {
        close_clones();
    }
    lay_out_master(styles_for(host.display_mode));
}

void stop_all_render_threads() {
    std::lock_guard<win_critical_section> guard(list_lock);
    for (window_record& record : window_list) {
        stop_render_thread(record);
    }
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    window_record* record = record_of(window);
    const bool screensaver = host.run == run_kind::screensaver;
    const bool saver_full_screen = screensaver && host.preview_parent == nullptr;
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
            break;
        case WM_CREATE:
            if (saver_full_screen) {
                POINT cursor;
                GetCursorPos(&cursor);
                place_pointer(host.mouse, cursor.x, cursor.y);
            }
            tell_window_count();
            break;
        case WM_MOVE:
            if (host.display_mode == display_kind::windowed && record != nullptr) {
                RECT outer;
                GetWindowRect(window, &outer);
                record->saved_left = outer.left;
                record->saved_top = outer.top;
            }
            break;
        case WM_SIZE:
            // Not every desktop deactivates a window that is minimised, so the size change
            // pauses and resumes drawing as well.
            if (wparam == SIZE_MINIMIZED) {
                ResetEvent(run_event);
            } else if (wparam == SIZE_RESTORED || wparam == SIZE_MAXIMIZED) {
                SetEvent(run_event);
            }
            if (record != nullptr && WaitForSingleObject(record->ready_event, 0) == WAIT_OBJECT_0) {
                PostThreadMessageW(record->thread_id, WM_SIZE, wparam, lparam);
                return 0;
            }
            break;
        case WM_ACTIVATE:
            if (HIWORD(wparam) != 0) {
                ResetEvent(run_event);
            } else {
                SetEvent(run_event);
            }
            break;
        case WM_SHOWWINDOW:
            if (wparam != 0) {
                SetEvent(run_event);
            }
            break;
        case WM_CLOSE:
            if (screensaver && !host.close_allowed) {
                return 0;
            }
            if (record != nullptr) {
                close_window(*record, false);
            }
            return 0;
        case WM_DESTROY:
            // A window still drawing is being destroyed from outside, as when a preview's parent
            // goes away: stop its thread while the window is still valid and let it count as
            // closed, so that the program ends with its last window.
            if (record != nullptr && record->thread != nullptr) {
                close_window(*record, true);
            }
            break;
        case WM_NCDESTROY:
            if (window_count.load() == 0) {
                PostQuitMessage(0);
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (saver_full_screen) {
                host.close_allowed = true;
                PostMessageW(window, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (screensaver) {
                POINT cursor;
                GetCursorPos(&cursor);
                const mouse_verdict verdict =
                    mouse_check(host.mouse, cursor.x, cursor.y, host.preview_parent != nullptr);
                test::log_mouse(cursor.x, cursor.y, verdict);
                if (verdict.allow_close) {
                    host.close_allowed = true;
                }
                if (verdict.post_close) {
                    PostMessageW(window, WM_CLOSE, 0, 0);
                }
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if (host.preview_parent != nullptr) {
                break;
            }
            if ((wparam & 0xFFF0) == SC_SCREENSAVE) {
                if (screensaver || host.display_mode != display_kind::windowed) {
                    return 0;
                }
            } else if ((wparam & 0xFFF0) == SC_MONITORPOWER) {
                if (!screensaver && host.display_mode != display_kind::windowed) {
                    return 0;
                }
                if (screensaver && (lparam == 1 || lparam == 2)) {
                    ResetEvent(run_event);
                } else if (lparam == -1) {
                    SetEvent(run_event);
                }
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace saver
