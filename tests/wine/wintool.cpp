// A Windows-side helper for the end-to-end tests: finds, counts and inspects the saver's windows
// (waiting inside for a count or the foreground, which saves a start of Wine per try), answers
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

BOOL CALLBACK find_button(HWND child, LPARAM found) {
    wchar_t class_name[64];
    GetClassNameW(child, class_name, 64);
    if (_wcsicmp(class_name, L"Button") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// Prints the handle and texts of the box once it shows. With press, answers it as its button
// does (the command of the button's id, which the box takes once its dialog runs, however soon),
// then waits as long again for the box to go and prints "closed" or "still open".
int box_text(const wchar_t* caption, DWORD timeout_ms, bool press) {
    const DWORD deadline = deadline_after(timeout_ms);
    HWND box = wait_for_window(L"#32770", caption, timeout_ms);
    while (box != nullptr && !IsWindowVisible(box) && before(deadline)) {
        Sleep(20);
    }
    if (box == nullptr) {
        std::printf("no box\n");
        return 1;
    }
    std::printf("box %llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(box)));
    EnumChildWindows(box, print_child_text, 0);
    if (!press) {
        return 0;
    }
    HWND button = nullptr;
    EnumChildWindows(box, find_button, reinterpret_cast<LPARAM>(&button));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    const DWORD closing = deadline_after(timeout_ms);
    while (IsWindow(box) && before(closing)) {
        Sleep(20);
    }
    std::printf(IsWindow(box) ? "still open\n" : "closed\n");
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

struct count_query {
    const wchar_t* title;
    bool hidden_too;
    int count;
};

BOOL CALLBACK count_titled(HWND window, LPARAM data) {
    auto* query = reinterpret_cast<count_query*>(data);
    wchar_t text[256];
    wchar_t class_name[64];
    GetClassNameW(window, class_name, 64);
    if (GetWindowTextW(window, text, 256) > 0 && std::wcscmp(text, query->title) == 0 &&
        std::wcscmp(class_name, L"Lumenweave") == 0 &&
        (query->hidden_too || IsWindowVisible(window))) {
        ++query->count;
    }
    return TRUE;
}

// Prints the number of visible windows titled TITLE (with hidden_too, of all of them), once it is
// EXPECTED or when the time is up; -1 expects nothing and counts at once.
int count_windows(const wchar_t* title, DWORD timeout_ms, int expected, bool hidden_too) {
    const DWORD deadline = deadline_after(timeout_ms);
    count_query query = {title, hidden_too, 0};
    for (;;) {
        query.count = 0;
        EnumWindows(count_titled, reinterpret_cast<LPARAM>(&query));
        if (expected < 0 || query.count == expected || !before(deadline)) {
            break;
        }
        Sleep(50);
    }
    std::printf("%d\n", query.count);
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

// Prints the title of the foreground window, once it is TITLE or when the time is up; without a
// title at once.
int foreground(const wchar_t* title, DWORD timeout_ms) {
    const DWORD deadline = deadline_after(timeout_ms);
    wchar_t text[256];
    for (;;) {
        text[0] = L'\0';
        GetWindowTextW(GetForegroundWindow(), text, 256);
        if (*title == L'\0' || std::wcscmp(text, title) == 0 || !before(deadline)) {
            break;
        }
        Sleep(20);
    }
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
// handle goes to the saver with "/p". Reports the saver's child window, holds the preview for
// hold_ms or until release_file exists, destroys the parent and reports how the saver ended (and
// whether it ended before). With orphan the top-level window's handle is given instead, which has
// no parent.
int preview(const wchar_t* saver, DWORD hold_ms, bool orphan, const wchar_t* release_file) {
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
        const DWORD deadline = deadline_after(60000);
        // A saver that has ended will show no window.
        while (child == nullptr && before(deadline) &&
               WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
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
        const DWORD hold_end = deadline_after(hold_ms);
        while (before(hold_end) && !(release_file != nullptr &&
                                     GetFileAttributesW(release_file) != INVALID_FILE_ATTRIBUTES)) {
            pump_for(50);
        }
        if (child != nullptr && !IsWindow(child)) {
            std::printf("the preview window went before its parent\n");
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::printf("saver ended before its parent was destroyed\n");
        }
        DestroyWindow(top);
    }

    DWORD result = WAIT_TIMEOUT;
    const DWORD deadline = deadline_after(60000);
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
        result = box_text(argument, timeout_ms, command == L"pressbox");
    } else if (command == L"rect") {
        result = window_rect(argument, timeout_ms);
    } else if (command == L"count") {
        result = count_windows(argument, argc > 3 ? timeout_ms : 0,
                               argc > 4 ? std::wcstol(argv[4], nullptr, 10) : -1,
                               argc > 5 && std::wcscmp(argv[5], L"hidden") == 0);
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
        result = foreground(argument, timeout_ms);
    } else if (command == L"monitors") {
        result = monitors();
    } else if (command == L"preview") {
        const bool orphan = argc > 4 && std::wcscmp(argv[4], L"orphan") == 0;
        result = preview(argument, timeout_ms, orphan, argc > 4 && !orphan ? argv[4] : nullptr);
    } else {
        std::printf(
            "usage: wintool "
            "boxtext|pressbox|activate|foreground|rect|count|minimize|restore|move|close|"
            "monitors|preview ...\n");
    }
    std::fflush(stdout);
    return result;
}
