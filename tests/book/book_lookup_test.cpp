#include "book_test_support.h"

namespace quill::test {
namespace {

class BookLookup : public BookDir {};

TEST_F(BookLookup, StartPositionIsAnsweredByKnightF3) {
    BookReader b = book(entry(START, KNIGHT_F3));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
    EXPECT_EQ(r.white_knights, square_board("b1") | square_board("f3"));
    EXPECT_EQ(r, position(KNIGHT_F3));
}

TEST_F(BookLookup, HitLeavesTheFlagAsTheCallerSetIt) {
    BookReader b = book(entry(START, KNIGHT_F3));
    PositionRecord r = position(START);
    int found = 7;
    book_lookup(r, found, b);
    EXPECT_EQ(found, 7);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookLookup, MissSetsTheFlagToZeroAndKeepsTheWholeRecord) {
    BookReader b = book(entry(PAWN_E4, PAWN_E5) + entry(KNIGHT_F3, START));
    PositionRecord r = position(START);
    r.white_castling = WHITE_CASTLING_START;
    r.black_castling = BLACK_CASTLING_START;
    r.white_attacks = square_board(2, 0xFF);
    const PositionRecord before = r;
    EXPECT_EQ(lookup(r, b), 0);
    EXPECT_EQ(r, before);
}

TEST_F(BookLookup, EntryDeepInTheBookIsFound) {
    BookReader b = book(entry(PAWN_E4, PAWN_E5) + entry(KNIGHT_F3, START) + entry(START, PAWN_E4) +
                      entry(PAWN_E5, KNIGHT_F3));
    PositionRecord r = position(PAWN_E5);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookLookup, AnAnswerIsNeverTakenAsAKey) {
    // PAWN_E5 stands in the book only as an answer: records pair up by their place.
    BookReader b = book(entry(PAWN_E4, PAWN_E5));
    PositionRecord r = position(PAWN_E5);
    EXPECT_EQ(lookup(r, b), 0);
    EXPECT_EQ(text_of(r), PAWN_E5);
}

TEST_F(BookLookup, FirstOfTwoEntriesWithTheSameKeyWins) {
    BookReader b = book(entry(START, KNIGHT_F3) + entry(START, PAWN_E4));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

TEST_F(BookLookup, EveryLookupScansFromTheStart) {
    // The second lookup must find an entry that lies before the first hit.
    BookReader b = book(entry(PAWN_E4, PAWN_E5) + entry(START, KNIGHT_F3));
    PositionRecord first = position(START);
    ASSERT_EQ(lookup(first, b), 1);
    PositionRecord second = position(PAWN_E4);
    EXPECT_EQ(lookup(second, b), 1);
    EXPECT_EQ(text_of(second), PAWN_E5);
    PositionRecord third = position(START);
    EXPECT_EQ(lookup(third, b), 1);
    EXPECT_EQ(text_of(third), KNIGHT_F3);
}

TEST_F(BookLookup, KeyMatchesWhateverTheCastlingRightsAndMoveState) {
    BookReader b = book(entry(START, KNIGHT_F3));
    PositionRecord fresh = position(START);
    fresh.white_castling = WHITE_CASTLING_START;
    fresh.black_castling = BLACK_CASTLING_START;
    PositionRecord moved = position(START);
    moved.white_castling = {0x00, 0x10, 0x00};
    moved.black_castling = {0x00, 0x00, 0x00};
    moved.white_move_ordinal = 12;
    moved.black_move_ordinal = 3;
    moved.move_made_flag = 1;
    for (PositionRecord* r : {&fresh, &moved}) {
        EXPECT_EQ(lookup(*r, b), 1);
        EXPECT_EQ(text_of(*r), KNIGHT_F3);
    }
}

TEST_F(BookLookup, OnlyTheTwelvePieceBoardsChange) {
    BookReader b = book(entry(START, KNIGHT_F3));
    PositionRecord r = position(START);
    r.white_castling = {0x01, 0x02, 0x03};
    r.black_castling = {0x04, 0x05, 0x06};
    r.pass_counters = {17, -4};
    r.move_made_flag = 1;
    r.white_pieces = square_board(0, 0xFF);
    r.black_pieces = square_board(7, 0xFF);
    r.white_attacks = square_board("d5");
    r.black_attacks = square_board("e4");
    r.white_knight_slots[0] = square_board("g1");
    r.black_pawn_slots[15] = square_board("a7");
    r.white_move_ordinal = 9;
    r.black_move_ordinal = 21;

    PositionRecord expected = r;
    clear_piece_boards(expected);
    board_text_to_maps(expected, make_board_text(KNIGHT_F3));

    ASSERT_EQ(lookup(r, b), 1);
    EXPECT_EQ(r, expected);
}

TEST_F(BookLookup, AnswerIsAdoptedUnchanged) {
    // Two pieces moved at once, one of them White's for a book of Black's: no check is made.
    constexpr std::string_view odd_answer =
        "rnbqkbnr"
        "pppp ppp"
        "        "
        "    p   "
        "        "
        "     N  "
        "PPPPPPPP"
        "RNBQKB R";
    BookReader b = book(entry(START, odd_answer));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), odd_answer);
}

TEST_F(BookLookup, AnswerCharactersOutsideThePieceLettersAreEmptySquares) {
    std::string answer(KNIGHT_F3);
    answer[0] = '.';   // a8 rook gone
    answer[4] = 'x';   // e8 king gone
    answer[28] = '7';  // e5 stays empty
    answer[63] = '\0'; // h1 rook gone
    std::string expected(KNIGHT_F3);
    expected[0] = expected[4] = expected[28] = expected[63] = ' ';

    BookReader b = book(entry(START, answer));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), expected);
    EXPECT_TRUE(r.black_king.empty());
}

TEST_F(BookLookup, AnswerReplacesPiecesTheKeyDidNotHave) {
    // The boards are cleared before the answer is set, so nothing of the old position stays.
    const std::string bare_kings = std::string(4, ' ') + "k" + std::string(55, ' ') + "K" + std::string(3, ' ');
    BookReader b = book(entry(START, bare_kings));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(r, position(bare_kings));
}

TEST_F(BookLookup, TwoPiecesOnOneSquareAreLookedUpByTheLaterLetter) {
    // A corrupt position with a black rook and a white knight on a1 reads as "N" there.
    PositionRecord r = position(START);
    r.black_rooks |= square_board("a1");
    r.white_rooks &= ~square_board("a1");
    r.white_knights |= square_board("a1");
    std::string seen(START);
    seen[56] = 'N';
    std::string unseen(START);
    unseen[56] = 'r';
    BookReader b = book(entry(unseen, PAWN_E4) + entry(seen, KNIGHT_F3));
    EXPECT_EQ(lookup(r, b), 1);
    EXPECT_EQ(text_of(r), KNIGHT_F3);
}

// Keys that differ from the board's text in ways a hand-written book might.
struct BadKey {
    const char* name;
    std::string key;
};
void PrintTo(const BadKey& k, std::ostream* os) { *os << k.name; }

std::string with_char(std::string_view text, int index, char c) {
    std::string s(text);
    s[index] = c;
    return s;
}

std::string dots_for_spaces(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == ' ') c = '.';
    return s;
}

class BookKeyMismatch : public BookDir, public ::testing::WithParamInterface<BadKey> {};

TEST_P(BookKeyMismatch, NeverMatches) {
    BookReader b = book(entry(GetParam().key, KNIGHT_F3));
    PositionRecord r = position(START);
    EXPECT_EQ(lookup(r, b), 0);
    EXPECT_EQ(text_of(r), START);
}

INSTANTIATE_TEST_SUITE_P(
    HandWritten, BookKeyMismatch,
    ::testing::Values(BadKey{"DotsForEmptySquares", dots_for_spaces(START)},
                      BadKey{"OneDot", with_char(START, 35, '.')},
                      BadKey{"HyphenForEmptySquare", with_char(START, 20, '-')},
                      BadKey{"TabForEmptySquare", with_char(START, 20, '\t')},
                      BadKey{"NulForEmptySquare", with_char(START, 33, '\0')},
                      BadKey{"WrongCase", with_char(START, 60, 'k')},
                      BadKey{"ColoursSwapped", std::string("RNBQKBNRPPPPPPPP") + std::string(32, ' ') +
                                                   "pppppppprnbqkbnr"},
                      BadKey{"OtherPosition", std::string(PAWN_E4)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::test
