#include <chrono>
#include <random>
#include <thread>

#include "book_test_support.h"

namespace quill::test {
namespace {

// Far enough in the past that every file counts as settled: the index is then trusted for as
// long as the file's stamp stays the same.
constexpr std::int64_t ALWAYS_SETTLED = -10'000'000'000;
// Longer than a step of the file system's clock, so that a change made after it shows.
constexpr auto CLOCK_STEP = std::chrono::milliseconds(30);

class BookIndexTest : public BookDir {
protected:
    // The answer of the plain scan and of the index for `key`, as text ("" for a miss).
    static std::string scanned(BookReader& b, std::string_view key) {
        BoardText answer{};
        return book_scan(b, make_board_text(key), answer) ? std::string(answer.begin(), answer.end()) : "";
    }
    static std::string indexed(BookReader& b, std::string_view key) {
        BoardText answer{};
        return b.index().find(b, make_board_text(key), answer) ? std::string(answer.begin(), answer.end()) : "";
    }
};

// A random position text of a few pieces, from a small pool so that keys repeat.
std::string pool_text(int which) {
    std::string t(BOOK_POSITION_LENGTH, ' ');
    std::mt19937 own(static_cast<unsigned>(which) * 7919u + 1);
    for (int i = 0; i < 4; ++i) t[own() % BOOK_POSITION_LENGTH] = "KQRBNPkqrbnp"[own() % 12];
    return t;
}

// A random book: entries of pool positions with mixed line ends, cut or noisy units, stray
// CR, the occasional Ctrl-Z and a ragged tail.
std::string random_book(std::mt19937& rng, int pool) {
    std::string bytes;
    const int records = 2 + static_cast<int>(rng() % 60);
    static constexpr std::string_view LINE_ENDS[] = {"\r\n", "\n", "\r", "", "\n\n"};
    for (int i = 0; i < records; ++i) {
        std::string text = pool_text(static_cast<int>(rng() % pool));
        switch (rng() % 12) {
        case 0: text.resize(rng() % BOOK_POSITION_LENGTH); break;   // a damaged, short unit
        case 1: text[rng() % text.size()] = '\r'; break;             // a CR inside a record
        case 2: text[rng() % text.size()] = static_cast<char>(rng() % 256); break;
        default: break;
        }
        bytes += text;
        bytes += LINE_ENDS[rng() % 10 < 7 ? 0 : rng() % std::size(LINE_ENDS)];
    }
    if (rng() % 8 == 0) bytes.insert(rng() % bytes.size(), 1, BOOK_END_BYTE);
    bytes.resize(bytes.size() - rng() % 3);  // odd lengths
    return bytes;
}

TEST_F(BookIndexTest, AnswersAsTheScanOnRandomBooks) {
    std::mt19937 rng(20261207);
    constexpr int POOL = 12;
    int hits = 0;
    for (int round = 0; round < 300; ++round) {
        BookReader b = book(random_book(rng, POOL));
        b.index().set_settle_ns(ALWAYS_SETTLED);
        for (int q = 0; q < POOL; ++q) {
            const std::string key = pool_text(q);
            const std::string expected = scanned(b, key);
            ASSERT_EQ(indexed(b, key), expected) << "round " << round << " key " << q;
            hits += !expected.empty();
        }
        // One build served every lookup of an unchanged file.
        EXPECT_EQ(b.index().builds(), 1);
    }
    EXPECT_GT(hits, 300);  // the books are not all misses
}

TEST_F(BookIndexTest, AnEditInPlaceRightAfterTheFirstLookupIsSeen) {
    // Same size and, most of the time, the same stamp: the file is changed within one step of
    // the file system's clock, which only the settling time catches. The edit adds a key, so
    // the stale index would have no entry to read back and notice the change by.
    BookReader b = book(entry(PAWN_E4, PAWN_E5));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 0);
    write("bbook.vbk", entry(START, KNIGHT_F3));
    r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookIndexTest, SettledIndexIsKeptUntilTheStampChanges) {
    BookReader b = book(entry(PAWN_E4, PAWN_E5) + entry(START, KNIGHT_F3));
    b.index().set_settle_ns(ALWAYS_SETTLED);
    EXPECT_EQ(indexed(b, START), KNIGHT_F3);
    EXPECT_EQ(indexed(b, PAWN_E4), PAWN_E5);
    EXPECT_EQ(b.index().builds(), 1);

    // Same size, new modification time.
    std::this_thread::sleep_for(CLOCK_STEP);
    write("bbook.vbk", entry(PAWN_E4, PAWN_E5) + entry(START, PAWN_E4));
    EXPECT_EQ(indexed(b, START), PAWN_E4);
    EXPECT_EQ(b.index().builds(), 2);

    // A new first entry for the same key wins; the size changed.
    std::this_thread::sleep_for(CLOCK_STEP);
    write("bbook.vbk", entry(START, PAWN_E5) + entry(PAWN_E4, PAWN_E5) + entry(START, PAWN_E4));
    EXPECT_EQ(indexed(b, START), PAWN_E5);
    // Emptied: every key misses.
    std::this_thread::sleep_for(CLOCK_STEP);
    write("bbook.vbk", "");
    EXPECT_EQ(indexed(b, START), "");
    EXPECT_EQ(indexed(b, PAWN_E4), "");
}

TEST_F(BookIndexTest, ReopeningAnotherFileForgetsTheIndex) {
    BookReader b = book(entry(START, KNIGHT_F3), "one.vbk");
    b.index().set_settle_ns(ALWAYS_SETTLED);
    EXPECT_EQ(indexed(b, START), KNIGHT_F3);
    // The other file has the same size and may have the same times.
    ASSERT_TRUE(b.open(write("two.vbk", entry(START, PAWN_E4)).c_str()));
    b.index().set_settle_ns(ALWAYS_SETTLED);
    EXPECT_EQ(indexed(b, START), PAWN_E4);
    BookReader moved(std::move(b));
    EXPECT_EQ(indexed(moved, START), PAWN_E4);
    EXPECT_EQ(indexed(b, START), "");
}

}  // namespace
}  // namespace quill::test
