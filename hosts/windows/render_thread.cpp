// Render threads: each window's OpenGL context, the master's frame computation or a clone's
// replay under the frame lock, and pacing to 60 frames per second with the performance counter.
#include <GL/gl.h>

#include "replay/gl1/replay.hpp"
#include "replay/gl1/render.hpp"
#include "hosts/windows/failure.hpp"
#include "hosts/windows/host.hpp"
#include "hosts/windows/test_hooks.hpp"

using namespace lumenweave;

namespace saver {
namespace {

using swap_interval_function = BOOL(WINAPI*)(int);

int64_t counter_now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void set_pixel_format(window_record& record) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    format.iLayerType = PFD_MAIN_PLANE;
    record.device_context = GetDC(record.window);
    const int index = test::forced_failure(util::failure_id::choose_pixel_format)
                          ? 0
                          : ChoosePixelFormat(record.device_context, &format);
    if (index == 0) {
        util::report_failure(util::failure_id::choose_pixel_format);
    }
    if (test::forced_failure(util::failure_id::set_pixel_format) ||
        !SetPixelFormat(record.device_context, index, &format)) {
        util::report_failure(util::failure_id::set_pixel_format);
    }
}

// Creates the window's context and makes it current on this thread, noting in the record whether
// that worked. Returns the context, null if none was created.
HGLRC create_context(window_record& record) {
    const HGLRC context = test::forced_failure(test::quiet_failure::create_context)
                              ? nullptr
                              : wglCreateContext(record.device_context);
    record.has_context = context != nullptr &&
                         !test::forced_failure(test::quiet_failure::make_current) &&
                         wglMakeCurrent(record.device_context, context);
    return context;
}

void handle_thread_message(window_record& record, const MSG& message) {
    if (message.message == WM_SIZE) {
        const uint32_t width = LOWORD(message.lParam);
        const uint32_t height = HIWORD(message.lParam);
        // A minimised window reports an empty client area; the projection waits for a real one.
        if (width != 0 && height != 0 && record.has_context) {
            replay::setupView(width, height);
        }
        UpdateWindow(record.window);
    } else if (message.message == window_count_message) {
        record.window_count = static_cast<unsigned>(message.wParam);
    }
}

void frame_loop(window_record& record) {
    LARGE_INTEGER frequency_value;
    QueryPerformanceFrequency(&frequency_value);
    const int64_t frequency = frequency_value.QuadPart;
    const int64_t period = frame::frame_period_ticks(frequency);
    int64_t deadline = 0;
    for (;;) {
        test::wait_to_run(run_event, record.master);
        int64_t t0;
        int64_t t1;
        uint64_t shown;
        if (record.master) {
            acquire_for_writing(frame_lock);
            // The master draws by replaying the list it records, which the clones replay too; a
            // master without a context still records, so that its clones go on drawing.
            t0 = counter_now();
            const bool held = test::frame_held();
            if (held) {
                if (record.has_context) {
                    replay::replay_draw_list(draw_list);
                }
            } else if (record.has_context) {
                replay::renderFrame(engine, &draw_list);
            } else {
                frame::recordFrame(engine, draw_list);
            }
            shown = test::frame_shown(!held);
            t1 = counter_now();
            release_from_writing(frame_lock);
        } else {
            acquire_for_reading(frame_lock);
            t0 = counter_now();
            if (record.has_context) {
                replay::replay_draw_list(draw_list);
            }
            shown = test::frame_shown(false);
            t1 = counter_now();
            release_from_reading(frame_lock);
        }
        // Sleep through the bulk of the period, spin through the last fraction of a
        // millisecond. A thread message arriving during the sleep drops this frame's present so
        // that the message is handled at once.
        // The deadlines follow one another by exactly one period, so the time spent presenting
        // and starting the next frame does not stretch the interval between presents.
        deadline = frame::frame_deadline(deadline, t0, period);
        bool present = true;
        const uint32_t wait_ms = frame::frame_wait_ms(deadline - period, t1, period, frequency);
        if (wait_ms > 0 &&
            MsgWaitForMultipleObjects(0, nullptr, TRUE, wait_ms, QS_ALLEVENTS) != WAIT_TIMEOUT) {
            present = false;
        }
        int64_t presented_at = 0;
        if (present) {
            do {
                presented_at = counter_now();
            } while (presented_at < deadline);
            if (record.has_context) {
                SwapBuffers(record.device_context);
            }
        }
        test::log_frame(record.master, t0, t1, present, frequency, deadline, presented_at, shown);
        MSG message;
        if (PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
            handle_thread_message(record, message);
        }
        const DWORD stop = WaitForSingleObject(record.stop_event, 0);
        if (stop == WAIT_OBJECT_0 || stop == WAIT_FAILED) {
            return;
        }
    }
}

DWORD WINAPI render_thread_main(void* parameter) {
    window_record& record = *static_cast<window_record*>(parameter);
    try {
        set_pixel_format(record);
    } catch (const util::failure_t&) {
        // The box has been shown; the main thread ends the program with the failure code.
        ReleaseDC(record.window, record.device_context);
        host.render_thread_failed.store(true);
        PostThreadMessageW(host.main_thread_id, render_failed_message, 0, 0);
        return 1;
    }

    // Contexts are made under the write side so that no frame is computed or replayed meanwhile.
    acquire_for_writing(frame_lock);
    const HGLRC context = create_context(record);
    release_from_writing(frame_lock);

    if (record.has_context) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glShadeModel(GL_FLAT);
        glClear(GL_COLOR_BUFFER_BIT);
        auto swap_interval = reinterpret_cast<swap_interval_function>(
            reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
        if (swap_interval != nullptr) {
            swap_interval(1);
        }
    }
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(record.ready_event);
    test::hold_before_show(record.master, record.stop_event);
    ShowWindow(record.window, host.show_command);
    if (host.preview_parent == nullptr) {
        SetForegroundWindow(record.window);
    }
    SetFocus(record.window);
    if (record.has_context) {
        replay::setupView(static_cast<uint32_t>(record.width),
                          static_cast<uint32_t>(record.height));
    }

    frame_loop(record);

    if (record.has_context) {
        wglMakeCurrent(nullptr, nullptr);
    }
    if (context != nullptr) {
        wglDeleteContext(context);
    }
    ReleaseDC(record.window, record.device_context);
    return 1;
}

}  // namespace

void start_render_thread(window_record& record) {
    HANDLE thread = test::forced_failure(util::failure_id::create_thread)
                        ? nullptr
                        : CreateThread(nullptr, 0, render_thread_main, &record, CREATE_SUSPENDED,
                                       &record.thread_id);
    if (thread == nullptr) {
        util::report_failure(util::failure_id::create_thread);
    }
    record.thread = thread;
    ResumeThread(thread);
}

void stop_render_thread(window_record& record) {
    if (record.thread == nullptr) {
        return;
    }
    // A paused thread only reaches its stop test once it runs again.
    SetEvent(run_event);
    SetEvent(record.stop_event);
    while (MsgWaitForMultipleObjects(1, &record.thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(record.thread);
    record.thread = nullptr;
}

}  // namespace saver
