// An index of a book's keys, so that a lookup reads only the entries whose key hashes alike
// instead of the whole file.
#pragma once

#include <cstdint>
#include <vector>

#include "board/types.h"
#include "book/book_format.h"

namespace quill {

class BookReader;

// What fstat tells of the open file's contents: a change of any field means the file may
// hold other bytes. Times are kept to the nanosecond the file system records.
struct BookStamp {
    std::int64_t size = -1;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    bool operator==(const BookStamp&) const = default;
};

// A file touched this close to the moment the index was built may be changed again with no
// visible change of its stamp, since the file system's clock moves in steps (a few
// milliseconds, or whole seconds on some file systems); such an index is rebuilt at the
// next lookup rather than trusted.
inline constexpr std::int64_t BOOK_SETTLE_NS = 2'000'000'000;

// One indexed entry: the hash of its key and the file offset at which its key unit starts.
struct BookIndexEntry {
    std::uint64_t hash;
    std::int64_t offset;
};

// The keys of a book's complete entries, sorted by hash and, within a hash, by their place in
// the file. Built on first use and again whenever the file's stamp has changed; it holds
// 16 bytes per entry, an eighth of the file's size. A lookup reads the candidate entries back
// from the file and compares the whole key, so a hash collision can never give a wrong answer.
class BookIndex {
public:
    // Answers `key` from `book`: true with `answer` filled when the first entry with that key
    // has a complete answer, as a scan from the first byte would find it.
    bool find(BookReader& book, const BoardText& key, BoardText& answer);

    // Forgets the index, as for a file never read; its memory is given back.
    void reset() {
        entries_ = {};
        built_ = settled_ = false;
    }

    // How many times the index has been built; for tests and measurements.
    int builds() const { return builds_; }
    // Sets how recent a change to the file must be for the index to be rebuilt at the next
    // lookup anyway (BOOK_SETTLE_NS by default).
    void set_settle_ns(std::int64_t ns) { settle_ns_ = ns; }

private:
    // Whether the index describes the file as it is now.
    bool current(const BookReader& book) const;
    // Reads the whole book once and sorts its keys. Returns false when the memory for it
    // cannot be had; the caller then scans.
    bool build(BookReader& book);
    // Answers from the index; false in `consistent` when what the file holds at an indexed
    // offset no longer hashes as indexed, i.e. the file changed unseen.
    bool find_indexed(BookReader& book, const BoardText& key, BoardText& answer, bool& consistent);

    std::vector<BookIndexEntry> entries_;
    BookStamp stamp_;
    bool built_ = false;
    bool settled_ = false;
    int builds_ = 0;
    std::int64_t settle_ns_ = BOOK_SETTLE_NS;
};

// Answers `key` by reading `book` from its first byte, as the index must answer: true with
// `answer` filled at the first entry whose key and answer are whole and whose key matches.
bool book_scan(BookReader& book, const BoardText& key, BoardText& answer);

// The hash of a 64-character position text under which the index files its key.
std::uint64_t book_key_hash(const char* text);

}  // namespace quill
