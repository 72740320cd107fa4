// Showing the host's fatal failures: every error box of the program comes from here.
#include "hosts/windows/failure.hpp"

#include <windows.h>

namespace saver::util {

void show_failure(failure_id id) {
    MessageBoxW(nullptr, failure_of(id).text, L"Error", MB_ICONERROR);
}

void report_failure(failure_id id) {
    show_failure(id);
    throw failure_t(id);
}

}  // namespace saver::util
