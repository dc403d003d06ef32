#include "bookmaker/book_records.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

// Whether the file can be opened and is a regular file, which is all the engine reads as a
// book; a message on `err` tells why not.
bool readable_book(const std::string& path, std::ostream& err) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err << "bookmaker: " << path << ": cannot be read: " << std::strerror(errno) << '\n';
        return false;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) err << "bookmaker: " << path << ": not a regular file, so never a book for the engine\n";
    return regular;
}

}  // namespace

BoardText BookRecord::text() const {
    BoardText t;
    for (int i = 0; i < BOARD_TEXT_LENGTH; ++i) t[i] = unit[i];
    return t;
}

std::optional<BookRecords> read_book_records(const std::string& path, std::ostream& err) {
    if (!readable_book(path, err)) return std::nullopt;
    BookReader file(path.c_str());
    if (!file.is_open()) {
        err << "bookmaker: " << path << ": cannot be read\n";
        return std::nullopt;
    }
    BookRecords book;
    file.rewind();
    // The translated text line by line as well, to name the line that puts the records out
    // of step.
    int line_length = 0, line = 1;
    bool in_step = true;
    for (;;) {
        BookRecord r;
        r.length = file.read_unit(r.unit);
        if (r.length == 0) break;
        for (int i = 0; i < r.length; ++i) {
            if (r.unit[i] != '\n') {
                ++line_length;
                continue;
            }
            if (line_length != BOARD_TEXT_LENGTH && book.odd_line == 0) {
                book.odd_line = line;
                book.odd_line_length = line_length;
            }
            ++line;
            line_length = 0;
        }
        // In step: the line end is the 65th character, or missing from the last unit only.
        const bool ends_right = r.length == BOOK_RECORD_LENGTH ? r.unit[BOARD_TEXT_LENGTH] == '\n' : true;
        bool newline_inside = false;
        for (int i = 0; i < std::min(r.length, BOARD_TEXT_LENGTH); ++i) newline_inside |= r.unit[i] == '\n';
        in_step = in_step && ends_right && !newline_inside;
        if (in_step) ++book.aligned;
        r.whole = r.length >= BOARD_TEXT_LENGTH && !newline_inside;
        for (int i = 0; r.whole && i < BOARD_TEXT_LENGTH; ++i)
            r.whole = PieceLetters.find(r.unit[i]) != std::string_view::npos;
        book.records.push_back(r);
    }
    if (line_length != 0 && line_length != BOARD_TEXT_LENGTH && book.odd_line == 0) {
        book.odd_line = line;
        book.odd_line_length = line_length;
    }
    return book;
}

}  // namespace quill
