#include "bookbuilder/book_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace quill {

int open_book_for_append() {
    // O_APPEND makes every write land at the end, whatever was read before; reads start at
    // offset 0 regardless. O_NONBLOCK keeps the open of a FIFO from waiting for a partner;
    // only a regular file is kept, since a pipe or a device never holds records.
    const int fd = ::open("book.vbk", O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, S_IRUSR | S_IWUSR);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int read_record_parity(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return 0;

    // Count the characters the text-mode reader would see; the units follow from the count.
    std::int64_t characters = 0;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // end of file, or an unreadable file counted as far as it went
        bool ended = false;
        for (ssize_t i = 0; i < got; ++i) {
            if (chunk[i] == BOOK_END_BYTE) {
                ended = true;
                break;
            }
            if (chunk[i] != BOOK_DROPPED_BYTE) ++characters;
        }
        if (ended) break;
    }
    const std::int64_t units = (characters + BOOK_RECORD_LENGTH - 1) / BOOK_RECORD_LENGTH;
    return static_cast<int>(units & 1);
}

bool append_book_record(int fd, const BoardText& board) {
    char record[BOOK_RECORD_BYTES];
    for (int k = 0; k < BOOK_POSITION_LENGTH; ++k) record[k] = board[k];
    record[BOOK_POSITION_LENGTH] = '\r';
    record[BOOK_POSITION_LENGTH + 1] = '\n';

    // A regular file takes the record in one write; a short write is continued so that only a
    // real failure (disk full, size limit) reports the record as not written. Such a failure
    // may leave part of the record behind, which would put every later record out of step:
    // the file is cut back to its length before the record.
    struct stat info {};
    if (::fstat(fd, &info) != 0) return false;
    int written = 0;
    while (written < BOOK_RECORD_BYTES) {
        const ssize_t n = ::write(fd, record + written, BOOK_RECORD_BYTES - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            while (::ftruncate(fd, info.st_size) != 0 && errno == EINTR) {
            }
            return false;
        }
        written += static_cast<int>(n);
    }
    return true;
}

}  // namespace quill
