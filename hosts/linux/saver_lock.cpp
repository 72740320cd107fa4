// The one-saver lock: an abstract unix socket, named after the user and the display, bound for
// the life of the process. Unlike a lock file it leaves nothing behind, and the kernel frees the
// name the moment the process ends, also when it is killed.
#include "hosts/linux/saver_lock.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lumenweave::linux {

std::string saver_display_key(display_system system, const char* display_variable,
                              const char* runtime_dir) {
    std::string name = display_variable != nullptr ? display_variable : "";
    if (system == display_system::wayland) {
        if (name.empty()) {
            name = "wayland-0";  // libwayland's own default
        }
        if (name[0] != '/') {
            name = std::string(runtime_dir != nullptr ? runtime_dir : "") + "/" + name;
        }
        return "wayland:" + name;
    }
    // HOST:NUMBER.SCREEN; "unix" is the local host spelled out.
    const size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        const size_t dot = name.find('.', colon);
        if (dot != std::string::npos) {
            name.erase(dot);
        }
        if (name.compare(0, colon, "unix") == 0) {
            name.erase(0, colon);
        }
    }
    return "x11:" + name;
}

saver_lock::saver_lock(const std::string& display_key) {
    // A socket path holds at most 107 bytes, a runtime folder's path need not fit: the name
    // carries a 64-bit FNV-1a hash of the key instead of the key itself.
    uint64_t hash = 0xcbf29ce484222325u;
    for (const unsigned char c : display_key) {
        hash = (hash ^ c) * 0x100000001b3u;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract name starts with a zero byte, which sun_path already holds.
    const int length = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                                     "lumenweave-saver-%u-%016llx", static_cast<unsigned>(getuid()),
                                     static_cast<unsigned long long>(hash));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        held_elsewhere_ = errno == EADDRINUSE;
        close(fd);
        return;
    }
    socket_ = fd;
}

saver_lock::~saver_lock() {
    if (socket_ >= 0) {
        close(socket_);
    }
}

}  // namespace lumenweave::linux
