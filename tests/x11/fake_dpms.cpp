// Test helper, preloaded into the program (LD_PRELOAD): the X server seems to have the DPMS
// extension at version 1.1, which tells of no changes, enabled, at the power level that the file
// named by LUMENWEAVE_FAKE_DPMS holds ("0" on, "3" off); each ask appends a line to that file's
// ".asks" sibling, so that a test can count the program's polls.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* level_file() {
    const char* path = std::getenv("LUMENWEAVE_FAKE_DPMS");
    return path != nullptr ? path : "";
}

}  // namespace

extern "C" Bool XQueryExtension(Display* display, const char* name, int* opcode, int* first_event,
                                int* first_error) {
    if (std::strcmp(name, DPMSExtensionName) == 0) {
        *opcode = 250;  // never used: the program sends a request of its own to DPMS 1.2 alone
        *first_event = 0;
        *first_error = 0;
        return True;
    }
    using query_t = Bool (*)(Display*, const char*, int*, int*, int*);
    static const auto real = reinterpret_cast<query_t>(dlsym(RTLD_NEXT, "XQueryExtension"));
    return real(display, name, opcode, first_event, first_error);
}

extern "C" Bool DPMSCapable(Display*) {
    return True;
}

extern "C" Status DPMSGetVersion(Display*, int* major, int* minor) {
    *major = 1;
    *minor = 1;
    return 1;
}

extern "C" Status DPMSInfo(Display*, CARD16* level, BOOL* enabled) {
    unsigned value = 0;
    if (FILE* file = std::fopen(level_file(), "r")) {
        if (std::fscanf(file, "%u", &value) != 1) {
            value = 0;
        }
        std::fclose(file);
    }
    if (FILE* asks = std::fopen((std::string(level_file()) + ".asks").c_str(), "a")) {
        std::fputs("ask\n", asks);
        std::fclose(asks);
    }
    *level = static_cast<CARD16>(value);
    *enabled = True;
    return 1;
}
