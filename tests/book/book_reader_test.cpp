#include <random>

#include "book_test_support.h"

namespace quill::test {
namespace {

class BookHandle : public BookDir {};

TEST_F(BookHandle, AbsentBookMissesAndKeepsTheBoards) {
    BookReader never_opened;
    BookReader missing(path("bbook.vbk").c_str());
    EXPECT_FALSE(never_opened.is_open());
    EXPECT_FALSE(missing.is_open());
    for (BookReader* b : {&never_opened, &missing}) {
        PositionRecord r = position(START);
        EXPECT_EQ(lookup(r, *b), 0);
        EXPECT_EQ(r, position(START));
        b->close();
        b->close();
    }
}

TEST_F(BookHandle, ClosedBookIsAbsent) {
    BookReader b = book(entry(START, KNIGHT_F3));
    PositionRecord r = position(START);
    b.close();
    EXPECT_FALSE(b.is_open());
    EXPECT_EQ(lookup(r, b), 0);
    b.close();
    EXPECT_EQ(text_of(r), START);
}

TEST_F(BookHandle, DirectoryIsAbsent) {
    std::filesystem::create_directory(path("bbook.vbk"));
    BookReader b(path("bbook.vbk").c_str());
    EXPECT_FALSE(b.is_open());
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 0);
    EXPECT_EQ(r, position(START));
}

TEST_F(BookHandle, MovedHandleKeepsTheBook) {
    BookReader a = book(entry(START, KNIGHT_F3));
    BookReader b(std::move(a));
    EXPECT_FALSE(a.is_open());
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    BookReader c;
    c = std::move(b);
    EXPECT_FALSE(b.is_open());
    r = position(START);
    EXPECT_EQ(lookup(r, c), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookHandle, ReopeningSwitchesToTheOtherFile) {
    write("wbook.vbk", entry(START, PAWN_E4));
    BookReader b = book(entry(START, KNIGHT_F3));
    ASSERT_TRUE(b.open(path("wbook.vbk").c_str()));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), PAWN_E4);
    EXPECT_FALSE(b.open(path("nothing.vbk").c_str()));
    EXPECT_EQ(lookup(r, b), 0);
}

class BookEditing : public BookDir {};

TEST_F(BookEditing, EditBetweenLookupsTakesEffectAtTheNext) {
    // The first hit stops the scan early, with more of the small file already read; the
    // next lookup must still see the file as rewritten in place.
    BookReader b = book(entry(START, KNIGHT_F3) + entry(PAWN_E4, PAWN_E5));
    PositionRecord r = position(START);
    ASSERT_EQ(lookup(r, b), 1);
    ASSERT_EQ(text_of(r), KNIGHT_F3);

    write("bbook.vbk", entry(START, PAWN_E4) + entry(PAWN_E4, PAWN_E5));
    r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), PAWN_E4);

    write("bbook.vbk", "");
    r = position(START);
    EXPECT_EQ(lookup(r, b), 0);

    write("bbook.vbk", entry(PAWN_E5, START) + entry(START, KNIGHT_F3));
    r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookEditing, AppendedEntryIsFound) {
    BookReader b = book(entry(PAWN_E4, PAWN_E5));
    PositionRecord r = position(START);
    ASSERT_EQ(lookup(r, b), 0);
    {
        std::ofstream out(path("bbook.vbk"), std::ios::binary | std::ios::app);
        out << entry(START, KNIGHT_F3);
    }
    r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

// Deterministic bytes; `plain` leaves out CR and Ctrl-Z so that the whole file is read.
std::string garbage(std::size_t size, unsigned seed, bool plain) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s;
    while (s.size() < size) {
        const int c = byte(gen);
        if (plain && (c == '\r' || c == 26)) continue;
        s += static_cast<char>(c);
    }
    return s;
}

class BookGarbage : public BookDir, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(BookGarbage, BinaryBookMissesWithoutHarm) {
    const std::size_t size = GetParam();
    for (bool plain : {false, true}) {
        BookReader b = book(garbage(size, static_cast<unsigned>(size), plain));
        for (std::string_view text : {START, KNIGHT_F3}) {
            PositionRecord r = position(text);
            EXPECT_EQ(lookup(r, b), 0);
            EXPECT_EQ(r, position(text));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BookGarbage, ::testing::Values(1, 63, 64, 65, 129, 130, 131, 8191, 8192, 8193, 100000));

class BookBinaryAnswer : public BookDir {};

TEST_F(BookBinaryAnswer, SetsOnlyItsPieceLetters) {
    std::string answer = garbage(64, 7, true);
    answer.replace(0, 16, "rnbqkbnrpppppppp");  // make sure some squares do hold pieces
    BookReader b = book(record(START) + record(answer));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(r, position(answer));
    EXPECT_EQ(text_of(r).substr(0, 16), "rnbqkbnrpppppppp");
}

class BookLarge : public BookDir {};

TEST_F(BookLarge, HundredThousandRecordsAreScannedToTheLastEntry) {
    // 49,999 distinct entries, then the start position: the answer is the last record.
    constexpr int ENTRIES = 50000;
    std::string bytes;
    bytes.reserve(std::size_t{ENTRIES} * 2 * 66);
    for (int i = 0; i < ENTRIES - 1; ++i) {
        std::string key(64, ' ');
        for (int bit = 0; bit < 16; ++bit)
            if (i & (1 << bit)) key[16 + bit] = 'P';
        key[4] = 'k';
        key[60] = 'K';
        bytes += entry(key, PAWN_E5);
    }
    bytes += entry(START, KNIGHT_F3);
    BookReader b = book(bytes);

    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
    r = position(KNIGHT_F3);
    EXPECT_EQ(lookup(r, b), 0);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

}  // namespace
}  // namespace quill::test
