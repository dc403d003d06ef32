#include "bookmaker/book_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

constexpr mode_t NEW_FILE_MODE = 0666;

bool write_all(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool replace_file(const std::string& path, const std::string& data, std::ostream& err) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string temp = folder + "/.bookmaker-XXXXXX";
    const auto fail = [&](const char* what, int fd) {
        const int saved = errno;
        err << "bookmaker: " << path << ": " << what << ": " << std::strerror(saved) << "; nothing was written\n";
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return false;
    };

    struct stat existing {};
    mode_t mode;
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            err << "bookmaker: " << path << ": is a folder; nothing was written\n";
            return false;
        }
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = NEW_FILE_MODE & ~mask;
    }

    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        err << "bookmaker: " << path << ": cannot create a file beside it: " << std::strerror(errno)
            << "; nothing was written\n";
        return false;
    }
    if (!write_all(fd, data)) return fail("cannot write", fd);
    if (::fchmod(fd, mode) != 0) return fail("cannot set permissions", fd);
    if (::fsync(fd) != 0) return fail("cannot flush to disk", fd);
    if (::close(fd) != 0) return fail("cannot close", -1);
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot replace", -1);
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace quill
