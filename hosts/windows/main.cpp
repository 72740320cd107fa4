// The program's entry: reads the command line, registers the window class, starts the engine and
// the master window, and runs the main thread's message loop until the last window is gone.
#include "hosts/windows/host.hpp"

#include <fcntl.h>
#include <io.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

#include "engine/settings.hpp"
#include "hosts/windows/command_line.hpp"
#include "hosts/windows/failure.hpp"
#include "hosts/windows/script_space.hpp"
#include "hosts/windows/test_hooks.hpp"
#include "read_whole/read_whole.hpp"

using namespace lumenweave;

namespace saver {
namespace {

void restore_timer_resolution() {
    timeEndPeriod(1);
}

void attach_stream(DWORD std_handle, FILE* stream, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(GetStdHandle(std_handle)), _O_TEXT);
    if (fd < 0) {
        return;
    }
    FILE* console = _fdopen(fd, mode);
    if (console == nullptr) {
        return;
    }
    _dup2(_fileno(console), _fileno(stream));
    setvbuf(stream, nullptr, _IONBF, 0);
}

// The core's trace lines and warnings, on standard output.
void print_log_line(void*, const char* text) {
    std::printf("%s\n", text);
}

// The console serves the trace and a script read from standard input.
void attach_console() {
    AllocConsole();
    attach_stream(STD_OUTPUT_HANDLE, stdout, "w");
    attach_stream(STD_ERROR_HANDLE, stderr, "w");
    attach_stream(STD_INPUT_HANDLE, stdin, "r");
}

void register_window_class() {
    WNDCLASSW window_class = {};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = window_procedure;
    window_class.cbWndExtra = 4;
    window_class.hInstance = host.instance;
    window_class.hIcon = LoadIconW(host.instance, MAKEINTRESOURCEW(100));
    window_class.hCursor =
        host.run == run_kind::application ? LoadCursorW(nullptr, IDC_ARROW) : nullptr;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = L"Lumenweave";
    if (test::forced_failure(util::failure_id::register_class) ||
        RegisterClassW(&window_class) == 0) {
        util::report_failure(util::failure_id::register_class);
    }
}

int message_loop() {
    MSG message = {};
    for (;;) {
        const BOOL got = test::forced_failure(util::failure_id::get_message)
                             ? -1
                             : GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            util::show_failure(util::failure_id::get_message);
            host.close_allowed = true;
            stop_all_render_threads();
            return 1;
        }
        // The failed thread has shown its box already; end quietly with the failure code.
        if (host.render_thread_failed.load()) {
            stop_all_render_threads();
            return 1;
        }
        if (host.run == run_kind::application && message.message == WM_KEYDOWN) {
            if (message.wParam == 'F') {
                cycle_display_mode();
                continue;
            }
            if (message.wParam == 'N') {
                if (host.display_mode == display_kind::windowed) {
                    create_clone_window();
                }
                test::log_clone_key();
                continue;
            }
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The script placed in the program's space (script_space.hpp), else the built-in one; in the
// stdin build the whole of standard input. The seed is the calendar time in seconds once the
// script is read, as srand48(time(0)) after reading would be.
void start_engine() {
    engine.sequencer.log = script::ScriptLog{print_log_line, nullptr};
    std::string script;
    if (engine::scriptSourceSetting) {
        space_reading space = read_script_space();
        test::log_script_space(space);
        if (space.state != space_state::placed) {
            frame::initEngineWithSeed(engine, static_cast<uint32_t>(std::time(nullptr)));
            return;
        }
        script = std::move(space.text);
    } else {
        read_whole::readWhole(stdin, script);
    }
    frame::initEngineWithScript(engine, static_cast<uint32_t>(std::time(nullptr)), script.c_str());
}

int application_main() {
    register_window_class();
    if (host.run == run_kind::application &&
        (engine::traceSetting || !engine::scriptSourceSetting)) {
        attach_console();
    }
    start_engine();
    if (!create_master_window()) {
        return 1;
    }
    return message_loop();
}

int run(const wchar_t* command_line) {
    const launch_t launch = parse_command_line(command_line);
    switch (launch.kind) {
        case launch_kind::screensaver:
            host.run = run_kind::screensaver;
            host.display_mode = display_kind::virtual_screen;
            return application_main();
        case launch_kind::preview: {
            if (launch.preview_handle == 0) {
                return 1;
            }
            HWND parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(launch.preview_handle));
            if (GetParent(parent) == nullptr) {
                return 1;
            }
            host.run = run_kind::screensaver;
            host.preview_parent = parent;
            return application_main();
        }
        case launch_kind::configure:
            MessageBoxW(nullptr, L"Lumenweave has no options.", L"Lumenweave", MB_ICONINFORMATION);
            return 0;
        case launch_kind::application:
            break;
    }
    host.run = run_kind::application;
    return application_main();
}

}  // namespace
}  // namespace saver

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
    using namespace saver;
    host.instance = instance;
    host.show_command = show;
    host.main_thread_id = GetCurrentThreadId();
    timeBeginPeriod(1);
    std::atexit(restore_timer_resolution);
    try {
        return run(command_line);
    } catch (const util::failure_t& failure) {
        util::show_failure(failure.id);
        // Render threads use the frame lock and the draw list, which go away at exit.
        stop_all_render_threads();
        return 1;
    }
}
