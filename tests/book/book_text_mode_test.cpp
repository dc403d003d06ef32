#include "book_test_support.h"

namespace quill::test {
namespace {

// Looks up `key` in `b`; returns the flag and leaves the resulting position in `r`.
int lookup_text(std::string_view key, BookReader& b, PositionRecord& r) {
    r = position(key);
    return lookup(r, b);
}

struct LineEnd {
    const char* name;
    const char* chars;
};
void PrintTo(const LineEnd& e, std::ostream* os) { *os << e.name; }

class BookLineEnds : public BookDir, public ::testing::WithParamInterface<LineEnd> {};

TEST_P(BookLineEnds, EveryEntryIsReadTheSame) {
    const std::string_view end = GetParam().chars;
    BookReader b = book(entry(PAWN_E4, PAWN_E5, end) + entry(START, KNIGHT_F3, end) + entry(PAWN_E5, START, end));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
    EXPECT_EQ(lookup_text(PAWN_E4, b, r), 1);
    EXPECT_EQ(text_of(r), PAWN_E5);
    EXPECT_EQ(lookup_text(PAWN_E5, b, r), 1);
    EXPECT_EQ(text_of(r), START);
    EXPECT_EQ(lookup_text(KNIGHT_F3, b, r), 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, BookLineEnds,
                         ::testing::Values(LineEnd{"Lf", "\n"}, LineEnd{"CrLf", "\r\n"},
                                           LineEnd{"DoubleCrLf", "\r\r\n"}, LineEnd{"CrBeforeAndAfterLf", "\r\n\r"}),
                         [](const auto& info) { return std::string(info.param.name); });

class BookTextMode : public BookDir {};

TEST_F(BookTextMode, CarriageReturnsInsideARecordAreDropped) {
    std::string key(START);
    key.insert(40, 1, '\r');
    key.insert(0, 2, '\r');
    std::string answer(KNIGHT_F3);
    answer.insert(45, 1, '\r');
    BookReader b = book(record(key) + record(answer));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookTextMode, CtrlZInTheMiddleHidesEverythingAfterIt) {
    // Two layouts: a reader that dropped the byte would find START in the first, one that
    // kept it as a character would find START in the second (the byte fills a newline slot).
    const std::string end(1, char(BOOK_END_BYTE));
    const std::string between = entry(PAWN_E4, PAWN_E5) + end + entry(START, KNIGHT_F3);
    const std::string for_newline = record(PAWN_E4) + std::string(PAWN_E5) + end + entry(START, KNIGHT_F3);
    for (const std::string& bytes : {between, for_newline}) {
        BookReader b = book(bytes);
        PositionRecord r;
        EXPECT_EQ(lookup_text(PAWN_E4, b, r), 1);
        EXPECT_EQ(text_of(r), PAWN_E5);
        EXPECT_EQ(lookup_text(START, b, r), 0);
        EXPECT_EQ(text_of(r), START);
        // The end byte holds for every scan, not only the first.
        EXPECT_EQ(lookup_text(START, b, r), 0);
        EXPECT_EQ(lookup_text(PAWN_E4, b, r), 1);
    }
}

TEST_F(BookTextMode, CtrlZAtTheStartEmptiesTheBook) {
    BookReader b = book(std::string(1, char(BOOK_END_BYTE)) + entry(START, KNIGHT_F3));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 0);
    EXPECT_EQ(text_of(r), START);
}

TEST_F(BookTextMode, CtrlZInsideAKeyOrAnswerCutsItShort) {
    std::string key(START);
    key.insert(10, 1, '\x1a');
    std::string answer(KNIGHT_F3);
    answer.insert(50, 1, '\x1a');
    PositionRecord r;
    BookReader short_key = book(record(key) + record(KNIGHT_F3), "a.vbk");
    EXPECT_EQ(lookup_text(START, short_key, r), 0);
    BookReader short_answer = book(record(START) + record(answer), "b.vbk");
    EXPECT_EQ(lookup_text(START, short_answer, r), 0);
    EXPECT_EQ(text_of(r), START);
}

TEST_F(BookTextMode, CtrlZRightAfterAWholeAnswerStillHits) {
    BookReader b = book(record(START) + std::string(KNIGHT_F3) + "\x1a" + entry(START, PAWN_E4));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

class BookRecordCount : public BookDir {};

TEST_F(BookRecordCount, EmptyBookMisses) {
    BookReader b = book("");
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 0);
    EXPECT_EQ(text_of(r), START);
}

TEST_F(BookRecordCount, LastKeyWithoutAnswerNeverHits) {
    PositionRecord r;
    BookReader with_line_end = book(entry(PAWN_E4, PAWN_E5) + record(START), "a.vbk");
    EXPECT_EQ(lookup_text(START, with_line_end, r), 0);
    EXPECT_EQ(text_of(r), START);
    EXPECT_EQ(lookup_text(PAWN_E4, with_line_end, r), 1);
    BookReader without_line_end = book(entry(PAWN_E4, PAWN_E5) + std::string(START), "b.vbk");
    EXPECT_EQ(lookup_text(START, without_line_end, r), 0);
}

TEST_F(BookRecordCount, LastAnswerWithoutLineEndIsUsed) {
    BookReader b = book(entry(PAWN_E4, PAWN_E5) + record(START) + std::string(KNIGHT_F3));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
    EXPECT_EQ(lookup_text(PAWN_E4, b, r), 1);
}

TEST_F(BookRecordCount, LastAnswerCutShortIsNeverUsed) {
    // 63 of the 64 characters: the answer is incomplete, so its key misses.
    BookReader b = book(record(START) + std::string(KNIGHT_F3.substr(0, 63)));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 0);
    EXPECT_EQ(text_of(r), START);
}

class BookMisalignment : public BookDir {};

TEST_F(BookMisalignment, ShortOrLongLineHidesTheEntriesAfterIt) {
    // A line one character short or long shifts every later 65-character unit, so the
    // well-formed entry after it no longer lines up as a key.
    const std::string good = entry(PAWN_E4, PAWN_E5) + entry(START, KNIGHT_F3);
    const std::string short_line = record(PAWN_E4.substr(0, 63)) + record(PAWN_E5) + entry(START, KNIGHT_F3);
    const std::string long_line = record(std::string(PAWN_E4) + " ") + record(PAWN_E5) + entry(START, KNIGHT_F3);
    PositionRecord r;
    BookReader control = book(good, "good.vbk");
    EXPECT_EQ(lookup_text(START, control, r), 1);
    for (const std::string& bytes : {short_line, long_line}) {
        BookReader b = book(bytes, "bad.vbk");
        EXPECT_EQ(lookup_text(START, b, r), 0);
        EXPECT_EQ(text_of(r), START);
    }
}

TEST_F(BookMisalignment, OverlongKeyLineShiftsItsAnswerOneSquare) {
    // The key's first 64 characters still match, but the answer unit then starts with the
    // key's newline: the position lands one square further on, garbled, and is adopted.
    BookReader b = book(record(std::string(START) + "X") + record(KNIGHT_F3));
    PositionRecord r;
    EXPECT_EQ(lookup_text(START, b, r), 1);
    EXPECT_EQ(text_of(r), " " + std::string(KNIGHT_F3.substr(0, 63)));
}

TEST_F(BookMisalignment, CarriageReturnOnlyLineEndsRunRecordsTogether) {
    // With CR alone as line end nothing separates the records after translation.
    PositionRecord r;
    BookReader one_entry = book(entry(START, KNIGHT_F3, "\r"), "one.vbk");
    EXPECT_EQ(lookup_text(START, one_entry, r), 0);  // the answer unit is left with 63 characters
    EXPECT_EQ(text_of(r), START);
    BookReader two_entries = book(entry(START, KNIGHT_F3, "\r") + entry(PAWN_E4, PAWN_E5, "\r"), "two.vbk");
    EXPECT_EQ(lookup_text(START, two_entries, r), 1);
    EXPECT_EQ(text_of(r), std::string(KNIGHT_F3.substr(1)) + "r");
}

class BookUnits : public BookDir {};

TEST_F(BookUnits, FixedUnitsOfTranslatedCharacters) {
    // 200 characters, CR after every tenth, a newline in the middle of the first unit.
    std::string bytes;
    for (int i = 0; i < 200; ++i) {
        bytes += i == 30 ? '\n' : char('a' + i % 26);
        if (i % 10 == 9) bytes += '\r';
    }
    BookReader b = book(bytes);
    BookUnit unit{};
    for (int pass = 0; pass < 2; ++pass) {
        b.rewind();
        EXPECT_EQ(b.read_unit(unit), 65);
        EXPECT_EQ(unit[0], 'a');
        EXPECT_EQ(unit[30], '\n');
        EXPECT_EQ(unit[64], char('a' + 64 % 26));
        EXPECT_EQ(b.read_unit(unit), 65);
        EXPECT_EQ(unit[0], char('a' + 65 % 26));
        EXPECT_EQ(b.read_unit(unit), 65);
        EXPECT_EQ(b.read_unit(unit), 5);
        EXPECT_EQ(unit[4], char('a' + 199 % 26));
        EXPECT_EQ(b.read_unit(unit), 0);
        EXPECT_EQ(b.read_unit(unit), 0);
    }
}

TEST_F(BookUnits, NothingIsReadAfterCtrlZ) {
    // Far more bytes follow the end byte than one buffer holds; none of them is read.
    BookReader b = book(std::string(10, 'x') + char(BOOK_END_BYTE) + std::string(20000, 'y'));
    BookUnit unit{};
    for (int pass = 0; pass < 2; ++pass) {
        b.rewind();
        EXPECT_EQ(b.read_unit(unit), 10);
        EXPECT_EQ(b.read_unit(unit), 0);
        EXPECT_EQ(b.read_unit(unit), 0);
    }
}

}  // namespace
}  // namespace quill::test
