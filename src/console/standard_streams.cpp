#include "console/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quill {

void open_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open by now, so the lowest free one is `fd` itself.
        const int opened = ::open("/dev/null", O_RDONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

CheckedOutputBuffer::int_type CheckedOutputBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (traits_type::eq_int_type(target_->sputc(traits_type::to_char_type(c)), traits_type::eof())) fail();
    return c;
}

std::streamsize CheckedOutputBuffer::xsputn(const char* s, std::streamsize n) {
    if (target_->sputn(s, n) != n) fail();
    return n;
}

int CheckedOutputBuffer::sync() {
    if (target_->pubsync() != 0) fail();
    return 0;
}

void CheckedOutputBuffer::fail() const {
    const int error = errno;
    const std::string line = program_ + ": cannot write standard output: " + std::strerror(error) + "\n";
    // One write of the whole line; if standard error fails too there is no one left to tell.
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    // Nothing buffered can be written any more, and a normal exit would only try again.
    std::_Exit(OUTPUT_FAILED_STATUS);
}

}  // namespace quill
