// Conversions between BoardText and the twelve piece boards, and clearing one square.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "board_test_support.h"

namespace quill {
namespace {

using test::record_of;
using test::squares;

// The piece board each PieceLetters entry names, in table order r n b q k p R N B Q K P.
ByteBoard& board_of_letter(PositionRecord& r, int letter_index) {
    return piece_board(r, letter_index < 6 ? BLACK : WHITE,
                       test::letter_kind(PieceLetters[letter_index]));
}

// The twelve piece boards, in the fixed order White's knights first, Black's pawns last.
std::array<ByteBoard, 12> piece_boards(const PositionRecord& r) {
    return {r.white_knights, r.white_bishops, r.white_rooks,   r.white_queens,
            r.white_king,    r.white_pawns,   r.black_knights, r.black_bishops,
            r.black_rooks,   r.black_queens,  r.black_king,    r.black_pawns};
}

TEST(PieceLetters, TableOrderAndBlank) {
    EXPECT_EQ(PieceLetters, std::string_view("rnbqkpRNBQKP ", 13));
    EXPECT_EQ(EMPTY_SQUARE, ' ');
}

// Character j of the text is the square on rank 8 - j div 8, file a + j mod 8.
TEST(BoardTextToMaps, EveryIndexLandsOnItsSquare) {
    for (int j = 0; j < BOARD_TEXT_LENGTH; ++j) {
        BoardText text = make_board_text("");
        text[j] = 'Q';
        PositionRecord r;
        EXPECT_EQ(board_text_to_maps(r, text), 0);
        EXPECT_EQ(r.white_queens,
                  square_board(7 - j / 8, static_cast<std::uint8_t>(0x80 >> (j % 8))))
            << "index " << j;
    }
    const auto one_square = [](int j) {
        BoardText text = make_board_text("");
        text[j] = 'k';
        return test::record_of_text(text).black_king;
    };
    EXPECT_EQ(one_square(0), square_board("a8"));
    EXPECT_EQ(one_square(7), square_board("h8"));
    EXPECT_EQ(one_square(28), square_board("e5"));
    EXPECT_EQ(one_square(56), square_board("a1"));
    EXPECT_EQ(one_square(63), square_board("h1"));
}

// Every one of the 256 byte values, filling the whole text: the twelve letters fill exactly
// their own board, anything else (the blank, '\0', punctuation, bytes from 0x80 up) is empty.
TEST(BoardTextToMaps, EveryByteValueFillsItsBoardOrNothing) {
    for (int value = 0; value < 256; ++value) {
        const char c = static_cast<char>(value);
        BoardText text;
        text.fill(c);
        PositionRecord r;
        EXPECT_EQ(board_text_to_maps(r, text), 0);
        int letter = -1;
        for (int i = 0; i < 12; ++i)
            if (PieceLetters[i] == c) letter = i;
        PositionRecord expected;
        if (letter >= 0) board_of_letter(expected, letter) = ByteBoard{~std::uint64_t{0}};
        EXPECT_EQ(r, expected) << "byte value " << value;
    }
}

TEST(BoardTextToMaps, OddCharactersAmongPiecesLeaveTheirSquaresEmpty) {
    BoardText text = make_board_text(START_TEXT);
    text[20] = '.';                      // e6
    text[27] = '-';                      // d5
    text[35] = '\0';                     // d4
    text[36] = static_cast<char>(0xE9);  // e4
    text[52] = 'x';                      // e2: the pawn there is gone
    text[60] = '*';                      // e1: the king is gone
    const PositionRecord r = test::record_of_text(text);
    EXPECT_SQUARES(r.white_pawns, "a2 b2 c2 d2 f2 g2 h2");
    EXPECT_TRUE(r.white_king.empty());
    EXPECT_SQUARES(r.black_pawns, "a7 b7 c7 d7 e7 f7 g7 h7");
    for (const ByteBoard& b : piece_boards(r))
        EXPECT_FALSE(b.intersects(squares("e6 d5 d4 e4 e2 e1")));
}

TEST(BoardTextToMaps, StartTextFillsAllTwelveBoards) {
    const PositionRecord r = test::record_of_text(make_board_text(START_TEXT));
    EXPECT_SQUARES(r.white_knights, "b1 g1");
    EXPECT_SQUARES(r.white_bishops, "c1 f1");
    EXPECT_SQUARES(r.white_rooks, "a1 h1");
    EXPECT_SQUARES(r.white_queens, "d1");
    EXPECT_SQUARES(r.white_king, "e1");
    EXPECT_EQ(r.white_pawns.bits, 0xFF00u);
    EXPECT_SQUARES(r.black_knights, "b8 g8");
    EXPECT_EQ(r.black_knights.byte(7), 0x42);
    EXPECT_SQUARES(r.black_bishops, "c8 f8");
    EXPECT_SQUARES(r.black_rooks, "a8 h8");
    EXPECT_SQUARES(r.black_queens, "d8");
    EXPECT_SQUARES(r.black_king, "e8");
    EXPECT_EQ(r.black_pawns.byte(6), 0xFF);
    EXPECT_EQ(r.black_pawns, square_board(6, 0xFF));
}

// Bits are only added: boards that already hold pieces end up with the union, and a square
// already claimed by another board keeps that claim too.
TEST(BoardTextToMaps, NonZeroedBoardsGetTheUnion) {
    PositionRecord r = record_of("Pa2 qe5 Kg1");
    r.white_pieces = squares("c3");  // derived boards are not the conversion's business
    EXPECT_EQ(board_text_to_maps(r, test::text_of("Ph2 qd8 Re5 Kg1")), 0);
    EXPECT_SQUARES(r.white_pawns, "a2 h2");
    EXPECT_SQUARES(r.black_queens, "d8 e5");
    EXPECT_SQUARES(r.white_rooks, "e5");
    EXPECT_SQUARES(r.white_king, "g1");
    EXPECT_SQUARES(r.white_pieces, "c3");
}

// A deterministic text using every letter, blanks and a few non-letters.
BoardText scrambled_text(unsigned seed) {
    std::mt19937 gen(seed);
    static constexpr std::string_view POOL = "rnbqkpRNBQKP      ";
    BoardText t;
    for (char& c : t) c = POOL[gen() % POOL.size()];
    return t;
}

TEST(MapsToBoardText, StartBoardsGiveStartText) {
    BoardText out;
    out.fill('#');
    maps_to_board_text(test::record_of_text(make_board_text(START_TEXT)), out);
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string(START_TEXT));
}

TEST(MapsToBoardText, RoundTripTextToBoardsToText) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        const BoardText text = scrambled_text(seed);
        BoardText out;
        out.fill('#');  // every character is rewritten, stale ones included
        maps_to_board_text(test::record_of_text(text), out);
        EXPECT_EQ(std::string(out.begin(), out.end()), std::string(text.begin(), text.end()))
            << "seed " << seed;
    }
}

TEST(MapsToBoardText, RoundTripBoardsToTextToBoards) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        const PositionRecord boards = test::record_of_text(scrambled_text(seed));
        BoardText text;
        maps_to_board_text(boards, text);
        PositionRecord back;
        EXPECT_EQ(board_text_to_maps(back, text), 0);
        EXPECT_EQ(piece_boards(back), piece_boards(boards)) << "seed " << seed;
    }
}

TEST(MapsToBoardText, NonLettersComeBackAsBlanks) {
    BoardText text = make_board_text("rnbqkbnr");
    text[9] = '.';
    text[63] = '\0';
    text[40] = static_cast<char>(0x80);
    BoardText out;
    maps_to_board_text(test::record_of_text(text), out);
    EXPECT_EQ(std::string(out.begin(), out.end()),
              std::string(make_board_text("rnbqkbnr").data(), 64));
}

// Where two boards claim one square, the later letter of r n b q k p R N B Q K P stands,
// whichever pair it is.
TEST(MapsToBoardText, LaterLetterWinsWhenTwoBoardsClaimOneSquare) {
    for (int first = 0; first < 12; ++first)
        for (int second = first + 1; second < 12; ++second) {
            PositionRecord r;
            board_of_letter(r, first) = squares("c6");
            board_of_letter(r, second) = squares("c6 f3");
            BoardText out;
            maps_to_board_text(r, out);
            EXPECT_EQ(out[2 * 8 + 2], PieceLetters[second])
                << PieceLetters[first] << " and " << PieceLetters[second];
            EXPECT_EQ(out[5 * 8 + 5], PieceLetters[second]);
            EXPECT_EQ(out[0], ' ');
        }
}

TEST(ClearSquare, A1LeavesMaskComplementedAndRookGone) {
    PositionRecord r = test::record_of_text(make_board_text(START_TEXT));
    const PositionRecord before = r;
    std::uint8_t mask = 0x80;
    clear_square(r, 0, mask);
    EXPECT_EQ(mask, 0x7F);
    EXPECT_SQUARES(r.white_rooks, "h1");
    PositionRecord expected = before;
    expected.white_rooks = squares("h1");
    EXPECT_EQ(r, expected);
}

TEST(ClearSquare, EmptySquareChangesNoBoard) {
    PositionRecord r = test::record_of_text(make_board_text(START_TEXT));
    const PositionRecord before = r;
    std::uint8_t mask = FILE_E;
    clear_square(r, 3, mask);
    EXPECT_EQ(mask, static_cast<std::uint8_t>(~FILE_E));
    EXPECT_EQ(r, before);
}

// Every square, with all twelve boards full: exactly that square goes from each of them, and
// the derived boards keep what they held.
TEST(ClearSquare, ClearsOneBitInAllTwelveBoardsOnly) {
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file) {
            PositionRecord r;
            for (int i = 0; i < 12; ++i) board_of_letter(r, i) = ByteBoard{~std::uint64_t{0}};
            r.white_pieces = r.black_pieces = r.white_attacks = ByteBoard{~std::uint64_t{0}};
            const auto m = static_cast<std::uint8_t>(0x80 >> file);
            std::uint8_t mask = m;
            clear_square(r, rank, mask);
            EXPECT_EQ(mask, static_cast<std::uint8_t>(~m));
            const ByteBoard left = ~square_board(rank, m);
            for (const ByteBoard& b : piece_boards(r))
                EXPECT_EQ(b, left) << "rank " << rank << " file " << file;
            EXPECT_EQ(r.white_pieces.bits, ~std::uint64_t{0});
            EXPECT_EQ(r.white_attacks.bits, ~std::uint64_t{0});
        }
}

// A caller that reuses the mask byte without setting it afresh clears the complement: the
// whole rank except that file.
TEST(ClearSquare, ReusedMaskClearsTheComplement) {
    PositionRecord r = record_of("Ra1 Nb1 Ke1 Ph1 Pa2");
    std::uint8_t mask = 0x80;
    clear_square(r, 0, mask);
    clear_square(r, 0, mask);  // mask is 0x7F here
    EXPECT_EQ(mask, 0x80);
    EXPECT_TRUE(r.white_rooks.empty());
    EXPECT_TRUE(r.white_knights.empty());
    EXPECT_TRUE(r.white_king.empty());
    EXPECT_SQUARES(r.white_pawns, "a2");
}

}  // namespace
}  // namespace quill
