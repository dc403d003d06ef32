// Reading a book: the file held open for the whole run, read in text mode in fixed units.
#pragma once

#include <array>
#include <cstdint>

#include "book/book_format.h"
#include "book/book_index.h"

namespace quill {

using BookUnit = std::array<char, BOOK_RECORD_LENGTH>;


// A book file opened read-only, or absent. An absent book reads as empty; a failed open is
// not reported. Only regular files are held open, so a directory or a device is absent.
// The handle owns a fixed read buffer, so reading never allocates; the index of its keys is
// allocated when a lookup first builds it.
class BookReader {
public:
    BookReader() = default;
    // Opens `path`; the handle is absent when that fails.
    explicit BookReader(const char* path) { open(path); }
    ~BookReader() { close(); }

    BookReader(const BookReader&) = delete;
    BookReader& operator=(const BookReader&) = delete;
    BookReader(BookReader&& other) noexcept;
    BookReader& operator=(BookReader&& other) noexcept;

    // Closes any file held, then opens `path` read-only. Returns whether the book is open.
    bool open(const char* path);
    // Closes the file; harmless on an absent book and when repeated.
    void close();
    bool is_open() const { return fd_ >= 0; }

    // Goes back to the first byte of the file and forgets every buffered byte, so the next
    // unit is read from the file as it is now.
    void rewind();
    // Reads the next unit: translated characters up to BOOK_RECORD_LENGTH, fewer only where
    // the book ends. Returns how many were read (0 once the book has ended). Line ends are
    // never looked for: a unit is simply the next 65 characters.
    int read_unit(BookUnit& unit);

    // The byte offset in the file at which the next unit starts being read.
    std::int64_t offset() const { return base_ + pos_; }
    // Goes to byte `offset` of the file and forgets every buffered byte, so that reading goes
    // on exactly as it did when offset() last returned that value, provided the file is the
    // same. A failed seek reads as the end of the book.
    void seek(std::int64_t offset);
    // The stamp of the open file now; false for an absent book or when fstat fails.
    bool stamp(BookStamp& out) const;

    // The index of this book's keys, built by the first lookup.
    BookIndex& index() { return index_; }

private:
    // The next raw byte, or -1 when the file has no more (end, read error, absent book).
    int next_byte();

    static constexpr int BUFFER_SIZE = 8192;
    int fd_ = -1;
    bool ended_ = true;
    int fill_ = 0;
    int pos_ = 0;
    std::int64_t base_ = 0;  // file offset of buffer_[0]
    BookIndex index_;
    unsigned char buffer_[BUFFER_SIZE];
};

}  // namespace quill
