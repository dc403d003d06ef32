#include <gtest/gtest.h>

#include "board/attack_maps.h"
#include "board/board_text.h"

namespace quill {
namespace {

PositionRecord start_record() {
    PositionRecord r;
    board_text_to_maps(r, make_board_text(START_TEXT));
    return r;
}

TEST(StartPosition, PieceBoardsFromText) {
    const PositionRecord r = start_record();
    EXPECT_EQ(r.white_king, square_board("e1"));
    EXPECT_EQ(r.black_king, square_board("e8"));
    EXPECT_EQ(r.white_pawns.bits, 0xFF00u);
    EXPECT_EQ(r.white_rooks, square_board("a1") | square_board("h1"));
    EXPECT_EQ(r.black_knights.byte(7), 0x42);
    EXPECT_EQ(r.white_queens, square_board("d1"));
}

TEST(StartPosition, AttackPassMaps) {
    PositionRecord r = start_record();
    build_attack_maps(r);
    EXPECT_EQ(r.white_attacks, square_board(2, 0xFF));
    EXPECT_EQ(r.black_attacks, square_board(5, 0xFF));
    EXPECT_EQ(r.white_knight_slots[0], square_board("g1"));
    EXPECT_EQ(r.white_knight_slots[1], square_board("f3") | square_board("h3"));
    EXPECT_EQ(r.white_knight_slots[2], square_board("b1"));
    EXPECT_EQ(r.white_knight_slots[3], square_board("a3") | square_board("c3"));
    EXPECT_TRUE(r.white_knight_slots[4].empty());
    EXPECT_EQ(r.white_pawn_slots[0], square_board("h2"));
    EXPECT_EQ(r.white_pawn_slots[1], square_board("h3") | square_board("h4"));
    EXPECT_EQ(r.white_pawn_slots[14], square_board("a2"));
    EXPECT_EQ(r.white_pawn_slots[15], square_board("a3") | square_board("a4"));
    EXPECT_EQ(r.white_king_slots[0], square_board("e1"));
    EXPECT_TRUE(r.white_king_slots[1].empty());
}

TEST(StartPosition, GenerationPassMaps) {
    PositionRecord r = start_record();
    generate_moves(r);
    EXPECT_EQ(r.white_attacks.bits, 0xFFFF7Eu);
    EXPECT_EQ(r.black_attacks.bits, 0x7EFFFF0000000000u);
    EXPECT_EQ(r.white_knight_slots[1], square_board("f3") | square_board("h3"));
    EXPECT_EQ(r.black_pawn_slots[1], square_board("h6") | square_board("h5"));
}

}  // namespace
}  // namespace quill
