// A write wrapper for the tests, loaded with LD_PRELOAD: it makes one file behave as if it sat
// on a nearly full file system. The file is named by QUILL_FULL_DISK_FILE (its last path
// component) and may take QUILL_FULL_DISK_BYTES more bytes in all; a write that does not fit
// stores what fits and reports that count, and every later write to it fails with ENOSPC.
// Writes to every other descriptor pass through unchanged.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

using WriteFunction = ssize_t (*)(int, const void*, size_t);

WriteFunction real_write() {
    static const auto next = reinterpret_cast<WriteFunction>(::dlsym(RTLD_NEXT, "write"));
    return next;
}

// Whether `fd` is the file named by QUILL_FULL_DISK_FILE.
bool is_full_file(int fd) {
    const char* name = std::getenv("QUILL_FULL_DISK_FILE");
    if (name == nullptr || *name == '\0') return false;
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0) return false;
    const std::string path(target, static_cast<std::size_t>(length));
    const std::string tail = std::string("/") + name;
    return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    if (!is_full_file(fd)) return real_write()(fd, buffer, count);
    static size_t room = [] {
        const char* bytes = std::getenv("QUILL_FULL_DISK_BYTES");
        return bytes == nullptr ? size_t{0} : static_cast<size_t>(std::strtoull(bytes, nullptr, 10));
    }();
    if (room == 0 && count > 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = real_write()(fd, buffer, count < room ? count : room);
    if (written > 0) room -= static_cast<size_t>(written);
    return written;
}
