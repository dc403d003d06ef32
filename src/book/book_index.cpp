#include "book/book_index.h"

#include <algorithm>
#include <ctime>
#include <new>

#include "book/book_reader.h"

namespace quill {

namespace {

constexpr std::int64_t NS_PER_SECOND = 1'000'000'000;

// The wall clock in nanoseconds, the clock the file system stamps files with.
std::int64_t now_ns() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<std::int64_t>(t.tv_sec) * NS_PER_SECOND + t.tv_nsec;
}

bool entry_before(const BookIndexEntry& a, const BookIndexEntry& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.offset < b.offset;
}

}  // namespace

std::uint64_t book_key_hash(const char* text) {
    // FNV-1a over the 64 position characters.
    constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ULL;
    constexpr std::uint64_t FNV_PRIME = 1099511628211ULL;
    std::uint64_t h = FNV_OFFSET;
    for (int i = 0; i < BOOK_POSITION_LENGTH; ++i) {
        h ^= static_cast<unsigned char>(text[i]);
        h *= FNV_PRIME;
    }
    return h;
}

bool BookIndex::current(const BookReader& book) const {
    if (!built_ || !settled_) return false;
    BookStamp now;
    return book.stamp(now) && now == stamp_;
}

bool BookIndex::build(BookReader& book) {
    reset();
    ++builds_;
    // The stamp is taken before reading, so a change made while the file is read leaves a
    // stamp that no longer matches and the index is built again next time.
    if (!book.stamp(stamp_)) return false;
    const std::int64_t started = now_ns();
    // A change within the settling time of now may be followed by another one that leaves the
    // stamp as it is; only an older file can be trusted to show every change in its stamp.
    settled_ = std::max(stamp_.modified_ns, stamp_.changed_ns) + settle_ns_ < started;
    try {
        // Entries are two units; reserve for the file's size so one allocation serves.
        entries_.reserve(static_cast<std::size_t>(stamp_.size / (2 * BOOK_RECORD_LENGTH) + 1));
        // The same walk as a scan: records pair up by their place in the file, and only an
        // entry whose key and answer are both whole can ever answer.
        book.rewind();
        BookUnit key;
        BookUnit answer;
        for (;;) {
            const std::int64_t offset = book.offset();
            const int key_length = book.read_unit(key);
            const int answer_length = book.read_unit(answer);
            if (key_length >= BOOK_POSITION_LENGTH && answer_length >= BOOK_POSITION_LENGTH)
                entries_.push_back({book_key_hash(key.data()), offset});
            if (answer_length < BOOK_RECORD_LENGTH) break;
        }
    } catch (const std::bad_alloc&) {
        reset();
        return false;
    }
    // Offsets grow along the file, so a stable order by hash keeps duplicates in file order.
    std::sort(entries_.begin(), entries_.end(), entry_before);
    built_ = true;
    return true;
}

bool BookIndex::find_indexed(BookReader& book, const BoardText& key, BoardText& answer, bool& consistent) {
    consistent = true;
    const std::uint64_t hash = book_key_hash(key.data());
    auto it = std::lower_bound(entries_.begin(), entries_.end(), BookIndexEntry{hash, -1}, entry_before);
    BookUnit key_unit;
    BookUnit answer_unit;
    for (; it != entries_.end() && it->hash == hash; ++it) {
        book.seek(it->offset);
        const int key_length = book.read_unit(key_unit);
        const int answer_length = book.read_unit(answer_unit);
        if (key_length < BOOK_POSITION_LENGTH || answer_length < BOOK_POSITION_LENGTH ||
            book_key_hash(key_unit.data()) != hash) {
            consistent = false;
            return false;
        }
        if (std::equal(key.begin(), key.end(), key_unit.begin())) {
            std::copy_n(answer_unit.begin(), BOARD_TEXT_LENGTH, answer.begin());
            return true;
        }
    }
    return false;
}

bool BookIndex::find(BookReader& book, const BoardText& key, BoardText& answer) {
    if (!current(book) && !build(book)) return book_scan(book, key, answer);
    bool consistent = true;
    const bool hit = find_indexed(book, key, answer, consistent);
    if (consistent) return hit;
    // The file changed without its stamp showing it: read it again.
    if (!build(book)) return book_scan(book, key, answer);
    return find_indexed(book, key, answer, consistent) && consistent;
}

bool book_scan(BookReader& book, const BoardText& text, BoardText& answer_text) {
    // Records pair up by their place in the file: key, answer, key, answer... A short unit
    // only happens where the book ends, and a key or answer cut short is never used.
    book.rewind();
    BookUnit key;
    BookUnit answer;
    for (;;) {
        const int key_length = book.read_unit(key);
        const int answer_length = book.read_unit(answer);
        if (key_length >= BOOK_POSITION_LENGTH && answer_length >= BOOK_POSITION_LENGTH &&
            std::equal(text.begin(), text.end(), key.begin())) {
            std::copy_n(answer.begin(), BOARD_TEXT_LENGTH, answer_text.begin());
            return true;
        }
        if (answer_length < BOOK_RECORD_LENGTH) break;
    }
    return false;
}

}  // namespace quill
