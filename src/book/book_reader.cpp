#include "book/book_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace quill {

BookReader::BookReader(BookReader&& other) noexcept : fd_(other.fd_), index_(std::move(other.index_)) {
    other.index_.reset();
    // Buffered bytes are not carried over; every scan starts with rewind() anyway.
    other.fd_ = -1;
    other.ended_ = true;
}

BookReader& BookReader::operator=(BookReader&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        index_ = std::move(other.index_);
        other.index_.reset();
        other.fd_ = -1;
        other.ended_ = true;
    }
    return *this;
}

bool BookReader::open(const char* path) {
    close();
    if (path == nullptr) return false;
    // Non-blocking only so that a FIFO given as a book cannot hang the open; a regular file
    // reads the same either way, and anything else is dropped below.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    return true;
}

void BookReader::close() {
    if (fd_ >= 0) ::close(fd_);
    // Another file may be opened next whose stamp happens to match.
    index_.reset();
    fd_ = -1;
    ended_ = true;
    fill_ = pos_ = 0;
    base_ = 0;
}

void BookReader::rewind() { seek(0); }

void BookReader::seek(std::int64_t offset) {
    fill_ = pos_ = 0;
    base_ = offset;
    // Our own buffer is dropped here, so bytes changed on disk since the last scan are seen;
    // a file that cannot be rewound reads as empty rather than from the middle.
    ended_ = fd_ < 0 || offset < 0 || ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != offset;
}

bool BookReader::stamp(BookStamp& out) const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return false;
    constexpr std::int64_t NS_PER_SECOND = 1000000000;
    out.size = static_cast<std::int64_t>(info.st_size);
    out.modified_ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * NS_PER_SECOND + info.st_mtim.tv_nsec;
    out.changed_ns = static_cast<std::int64_t>(info.st_ctim.tv_sec) * NS_PER_SECOND + info.st_ctim.tv_nsec;
    return true;
}

int BookReader::next_byte() {
    if (pos_ == fill_) {
        if (ended_) return -1;
        ssize_t got;
        do {
            got = ::read(fd_, buffer_, BUFFER_SIZE);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            // End of file, or a read error taken as the end of the book.
            ended_ = true;
            return -1;
        }
        base_ += fill_;
        fill_ = static_cast<int>(got);
        pos_ = 0;
    }
    return buffer_[pos_++];
}

int BookReader::read_unit(BookUnit& unit) {
    int count = 0;
    while (count < BOOK_RECORD_LENGTH) {
        const int byte = next_byte();
        if (byte < 0) break;
        if (byte == BOOK_DROPPED_BYTE) continue;
        if (byte == BOOK_END_BYTE) {
            // Nothing after Ctrl-Z exists for the reader, up to the next rewind.
            ended_ = true;
            base_ += pos_;
            fill_ = pos_ = 0;
            break;
        }
        unit[count++] = static_cast<char>(byte);
    }
    return count;
}

}  // namespace quill
