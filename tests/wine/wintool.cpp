// A Windows-side helper for the end-to-end tests: finds and inspects the saver's windows, reads
// message boxes, minimises and restores, lists monitors, and hosts a preview window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

DWORD deadline_after(DWORD ms) {
    return GetTickCount() + ms;
}
bool before(DWORD deadline) {
    return static_cast<LONG>(deadline - GetTickCount()) > 0;
}

void pump_for(DWORD ms) {
    const DWORD deadline = deadline_after(ms);
    while (before(deadline)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

HWND wait_for_window(const wchar_t* window_class, const wchar_t* title, DWORD timeout_ms) {
    const DWORD deadline = deadline_after(timeout_ms);
    for (;;) {
        HWND window = FindWindowW(window_class, title);
        if (window != nullptr || !before(deadline)) {
            return window;
        }
        Sleep(50);
    }
}

// Prints the text of every child of a message box, one line each.
BOOL CALLBACK print_child_text(HWND child, LPARAM) {
    wchar_t text[512];
    wchar_t class_name[64];
    GetClassNameW(child, class_name, 64);
    if (_wcsicmp(class_name, L"Button") != 0 && GetWindowTextW(child, text, 512) > 0) {
        std::printf("text %ls\n", text);
    }
    return TRUE;
}

BOOL CALLBACK click_button(HWND child, LPARAM) {
    wchar_t class_name[64];
    GetClassNameW(child, class_name, 64);
    if (_wcsicmp(class_name, L"Button") != 0) {
        return TRUE;
    }
    PostMessageW(child, BM_CLICK, 0, 0);
    return FALSE;
}

// Prints the box's handle and texts; with press, clicks its button afterwards, unless only_box
// names another box than the one found.
int box_text(const wchar_t* caption, DWORD timeout_ms, bool press, uintptr_t only_box) {
    HWND box = wait_for_window(L"#32770", caption, timeout_ms);
    if (box != nullptr && only_box != 0 && reinterpret_cast<uintptr_t>(box) != only_box) {
        press = false;
    }
    if (box == nullptr) {
        std::printf("no box\n");
        return 1;
    }
    std::printf("box %llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(box)));
    EnumChildWindows(box, print_child_text, 0);
    if (press) {
        EnumChildWindows(box, click_button, 0);
    }
    return 0;
}

int window_rect(const wchar_t* title, DWORD timeout_ms) {
    HWND window = wait_for_window(L"Lumenweave", title, timeout_ms);
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    RECT outer;
    RECT client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("window %ld %ld %ld %ld client %ld %ld at %ld %ld visible %d iconic %d\n",
                outer.left, outer.top, outer.right, outer.bottom, client.right, client.bottom,
                origin.x, origin.y, IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0);
    return 0;
}

BOOL CALLBACK count_titled(HWND window, LPARAM data) {
    auto* query = reinterpret_cast<std::pair<const wchar_t*, int>*>(data);
    wchar_t text[256];
    wchar_t class_name[64];
    GetClassNameW(window, class_name, 64);
    if (GetWindowTextW(window, text, 256) > 0 && std::wcscmp(text, query->first) == 0 &&
        std::wcscmp(class_name, L"Lumenweave") == 0 && IsWindowVisible(window)) {
        ++query->second;
    }
    return TRUE;
}

int count_windows(const wchar_t* title) {
    std::pair<const wchar_t*, int> query(title, 0);
    EnumWindows(count_titled, reinterpret_cast<LPARAM>(&query));
    std::printf("%d\n", query.second);
    return 0;
}

int show(const wchar_t* title, int command) {
    HWND window = wait_for_window(L"Lumenweave", title, 5000);
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    ShowWindow(window, command);
    return 0;
}

int move(const wchar_t* title, int x, int y) {
    HWND window = wait_for_window(L"Lumenweave", title, 5000);
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// Posts WM_CLOSE to the window, visible or not.
int close(const wchar_t* title) {
    HWND window = wait_for_window(L"Lumenweave", title, 10000);
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}

// Without a window manager Wine activates a pop-up window of less than the whole screen only
// when asked; a desktop would do so when the user clicks it.
int activate(const wchar_t* title) {
    HWND window = wait_for_window(L"Lumenweave", title, 5000);
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    SetForegroundWindow(window);
    return 0;
}

int foreground() {
    wchar_t text[256] = L"";
    GetWindowTextW(GetForegroundWindow(), text, 256);
    std::printf("%ls\n", text);
    return 0;
}

BOOL CALLBACK print_monitor(HMONITOR, HDC, LPRECT area, LPARAM) {
    std::printf("monitor %ld %ld %ld %ld\n", area->left, area->top, area->right, area->bottom);
    return TRUE;
}

int monitors() {
    std::printf("count %d virtual %d %d %d %d\n", GetSystemMetrics(SM_CMONITORS),
                GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0);
    return 0;
}

// Hosts a preview the way the desktop's dialog does: a top-level window with a child, whose
// handle goes to the saver with "/p". Reports the saver's child window, holds the preview for a
// while, destroys the parent and reports how the saver ended. With "orphan" the top-level
// window's handle is given instead, which has no parent.
int preview(const wchar_t* saver, DWORD hold_ms, bool orphan) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = L"PreviewHost";
    RegisterClassW(&window_class);
    HWND top = CreateWindowExW(0, L"PreviewHost", L"Preview host", WS_POPUP | WS_VISIBLE, 100, 100,
                               400, 300, nullptr, nullptr, window_class.hInstance, nullptr);
    HWND frame = CreateWindowExW(0, L"PreviewHost", L"Preview frame", WS_CHILD | WS_VISIBLE, 40, 30,
                                 320, 240, top, nullptr, window_class.hInstance, nullptr);
    pump_for(300);

    std::wstring command_line = L"\"" + std::wstring(saver) + L"\" /p " +
                                std::to_wstring(reinterpret_cast<uintptr_t>(orphan ? top : frame));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start saver\n");
        return 2;
    }
    std::fflush(stdout);

    if (!orphan) {
        HWND child = nullptr;
        const DWORD deadline = deadline_after(20000);
        while (child == nullptr && before(deadline)) {
            pump_for(50);
            child = FindWindowExW(frame, nullptr, L"Lumenweave", nullptr);
            if (child != nullptr && !IsWindowVisible(child)) {
                child = nullptr;
            }
        }
        if (child == nullptr) {
            std::printf("no preview window\n");
        } else {
            RECT inner;
            RECT outer;
            GetClientRect(child, &inner);
            GetClientRect(frame, &outer);
            POINT origin = {0, 0};
            MapWindowPoints(child, frame, &origin, 1);
            std::printf("preview %ld %ld at %ld %ld in %ld %ld\n", inner.right, inner.bottom,
                        origin.x, origin.y, outer.right, outer.bottom);
        }
        std::fflush(stdout);
        pump_for(hold_ms);
        DestroyWindow(top);
    }

    DWORD result = WAIT_TIMEOUT;
    const DWORD deadline = deadline_after(15000);
    while (result == WAIT_TIMEOUT && before(deadline)) {
        pump_for(50);
        result = WaitForSingleObject(process.hProcess, 0);
    }
    if (result != WAIT_OBJECT_0) {
        std::printf("saver still running\n");
        TerminateProcess(process.hProcess, 9);
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("saver exit %lu\n", code);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const wchar_t* argument = argc > 2 ? argv[2] : L"";
    const DWORD timeout_ms = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 10000;
    int result = 2;
    if (command == L"boxtext" || command == L"pressbox") {
        result = box_text(argument, timeout_ms, command == L"pressbox",
                          argc > 4 ? std::wcstoull(argv[4], nullptr, 10) : 0);
    } else if (command == L"rect") {
        result = window_rect(argument, timeout_ms);
    } else if (command == L"count") {
        result = count_windows(argument);
    } else if (command == L"minimize") {
        result = show(argument, SW_MINIMIZE);

    } else if (command == L"restore") {
        result = show(argument, SW_RESTORE);
    } else if (command == L"move" && argc > 4) {
        result =
            move(argument, std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10));
    } else if (command == L"close") {
        result = close(argument);
    } else if (command == L"activate") {
        result = activate(argument);
    } else if (command == L"foreground") {
        result = foreground();
    } else if (command == L"monitors") {
        result = monitors();
    } else if (command == L"preview") {
        result = preview(argument, timeout_ms, argc > 4 && std::wcscmp(argv[4], L"orphan") == 0);
    } else {
        std::printf(
            "usage: wintool "
            "boxtext|pressbox|activate|foreground|rect|count|minimize|restore|move|monitors|"
            "preview "
            "...\n");
    }
    std::fflush(stdout);
    return result;
}
