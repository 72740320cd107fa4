// What the Windows host's files share, and only they: its state, window records, the process-wide
// objects and the functions that cross between start-up, windows and render threads.
#pragma once

#include <windows.h>

#include <atomic>
#include <list>

#include "drawlist/drawlist.hpp"
#include "frame/frame.hpp"
#include "frame/pacing.hpp"
#include "frame/window.hpp"
#include "hosts/windows/frame_lock.hpp"
#include "hosts/windows/policy.hpp"

namespace saver {

// How the program runs: as an application (a window, display modes with F, clones with N) or
// as a screensaver (full screen, or in a preview parent), which input ends.
enum class run_kind { application, screensaver };

// The host's state, one for the process. Only the main thread writes it, apart from
// render_thread_failed; render threads read what start-up fixed before the first window opened.
struct host_state {
    HINSTANCE instance = nullptr;
    int show_command = SW_SHOWNORMAL;  // how the system asked the program's window to be shown
    DWORD main_thread_id = 0;
    run_kind run = run_kind::application;
    HWND preview_parent = nullptr;  // the window a preview draws into; null outside a preview
    display_kind display_mode = display_kind::windowed;
    bool close_allowed = false;  // the screensaver takes WM_CLOSE; it refuses it until then
    // Set by a render thread whose start failed; the main thread then ends the program with 1.
    std::atomic<bool> render_thread_failed{false};
    int cursor_display_count = 0;  // ShowCursor's counter as it last returned it
    // The screensaver's mouse check; see policy.hpp.
    lumenweave::frame::pointer_watch mouse{false, true, 0, 0};
};

extern host_state host;

constexpr UINT window_count_message = WM_USER + 1;
// Posted to the main thread by a render thread whose start failed, to wake its message loop.
constexpr UINT render_failed_message = WM_APP + 1;

struct window_record {
    // The outer top-left corner the windowed master last had, for its return to the window.
    int saved_left = 0;  // pixels
    int saved_top = 0;   // pixels
    // Where the window opens: its outer top-left corner and its client size.
    int x = CW_USEDEFAULT;                               // pixels
    int y = CW_USEDEFAULT;                               // pixels
    int width = lumenweave::frame::application_width;    // pixels
    int height = lumenweave::frame::application_height;  // pixels
    HANDLE ready_event = nullptr;
    HANDLE stop_event = nullptr;
    HANDLE thread = nullptr;  // null again once the thread has been waited for
    DWORD thread_id = 0;
    HWND window = nullptr;
    HDC device_context = nullptr;
    bool master = false;
    unsigned window_count = 0;  // windows open, as this window's render thread last heard
    // Whether the render thread's context is current on it; without one the window stays black
    // and its thread makes no GL call on it, but paces, takes its messages and stops as usual.
    bool has_context = false;
};

struct win_critical_section {
    win_critical_section() { InitializeCriticalSection(&section); }
    ~win_critical_section() { DeleteCriticalSection(&section); }
    win_critical_section(const win_critical_section&) = delete;
    win_critical_section& operator=(const win_critical_section&) = delete;
    void lock() { EnterCriticalSection(&section); }
    void unlock() { LeaveCriticalSection(&section); }
    CRITICAL_SECTION section;
};

struct win_event {
    explicit win_event(bool manual_reset)
        : handle(CreateEventW(nullptr, manual_reset, FALSE, nullptr)) {}
    ~win_event() { CloseHandle(handle); }
    win_event(const win_event&) = delete;
    win_event& operator=(const win_event&) = delete;
    void set() { SetEvent(handle); }
    void reset() { ResetEvent(handle); }
    void wait() { WaitForSingleObject(handle, INFINITE); }
    HANDLE handle;
};

using host_frame_lock = frame_lock_t<win_critical_section, win_event>;

// The process-wide objects, created before the entry point in this order and destroyed in reverse
// order at exit. The master's render thread records into the draw list while clones exist; the
// clones' threads replay it.
extern host_frame_lock frame_lock;
extern lumenweave::drawlist::draw_list_t draw_list;
extern HANDLE run_event;
extern std::atomic<int> window_count;
extern win_critical_section list_lock;
// Records are freed when their window closes; list nodes keep their address, which the window's
// user data holds.
extern std::list<window_record>& window_list;
// The animation engine: started on the main thread, then used by the master's render thread
// alone. It is never torn down, so no exit path can free it under a thread still drawing.
extern lumenweave::frame::Engine& engine;

// Render threads.
void start_render_thread(window_record& record);
// Ends the record's render thread and waits for it, handling messages sent to the calling thread
// meanwhile so that a thread still showing its window cannot block on us.
void stop_render_thread(window_record& record);

// Windows.
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// False when a preview window could not be created (nothing is reported then).
bool create_master_window();
void create_clone_window();
void cycle_display_mode();
// Stops every render thread still running; for the failure paths of the entry point.
void stop_all_render_threads();

}  // namespace saver
