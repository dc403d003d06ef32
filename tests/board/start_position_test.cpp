#include <gtest/gtest.h>

#include <string>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "board_test_support.h"

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

// The slots of the start position are the same after either pass: pieces numbered from
// rank 1 up and from file h to a, knights and pawns with their moves, the rest blocked.
class StartSlots : public ::testing::TestWithParam<test::PassKind> {};

TEST_P(StartSlots, EverySlotOfBothColours) {
    PositionRecord r = start_record();
    test::run_pass(r, GetParam());

    EXPECT_SQUARES(r.white_pieces, "a1 b1 c1 d1 e1 f1 g1 h1 a2 b2 c2 d2 e2 f2 g2 h2");
    EXPECT_SQUARES(r.black_pieces, "a7 b7 c7 d7 e7 f7 g7 h7 a8 b8 c8 d8 e8 f8 g8 h8");
    EXPECT_EQ(r.pass_counters, (PassCounters{0, 0}));

    const auto expect_slots = [&](Color c, PieceKind k, std::initializer_list<const char*> boards) {
        const auto s = slots(r, c, k);
        ASSERT_EQ(int(boards.size()), s.size);
        int i = 0;
        for (const char* list : boards) {
            EXPECT_SQUARES(s[i], list) << test::color_name(c) << " kind " << k << " board " << i;
            ++i;
        }
    };
    expect_slots(WHITE, KNIGHT, {"g1", "f3 h3", "b1", "a3 c3", "", ""});
    expect_slots(BLACK, KNIGHT, {"g8", "f6 h6", "b8", "a6 c6", "", ""});
    expect_slots(WHITE, BISHOP, {"f1", "", "c1", "", "", ""});
    expect_slots(BLACK, BISHOP, {"f8", "", "c8", "", "", ""});
    expect_slots(WHITE, ROOK, {"h1", "", "a1", "", "", ""});
    expect_slots(BLACK, ROOK, {"h8", "", "a8", "", "", ""});
    expect_slots(WHITE, QUEEN, {"d1", "", "", "", "", ""});
    expect_slots(BLACK, QUEEN, {"d8", "", "", "", "", ""});
    expect_slots(WHITE, KING, {"e1", ""});
    expect_slots(BLACK, KING, {"e8", ""});
    expect_slots(WHITE, PAWN,
                 {"h2", "h3 h4", "g2", "g3 g4", "f2", "f3 f4", "e2", "e3 e4", "d2", "d3 d4", "c2",
                  "c3 c4", "b2", "b3 b4", "a2", "a3 a4"});
    expect_slots(BLACK, PAWN,
                 {"h7", "h6 h5", "g7", "g6 g5", "f7", "f6 f5", "e7", "e6 e5", "d7", "d6 d5", "c7",
                  "c6 c5", "b7", "b6 b5", "a7", "a6 a5"});

    // The pass changes no piece board.
    const PositionRecord fresh = start_record();
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            EXPECT_EQ(piece_board(r, c, PieceKind(k)), piece_board(fresh, c, PieceKind(k)));
}

INSTANTIATE_TEST_SUITE_P(BothPasses, StartSlots,
                         ::testing::Values(test::PassKind::Attack, test::PassKind::Generate),
                         [](const auto& info) { return std::string(test::pass_name(info.param)); });

// The attack pass leaves out squares held by the own side; the generation pass also marks
// the defended back rank and pawns, all but the two corners, which nothing reaches.
TEST(StartPosition, AttackMapsOfEachPass) {
    PositionRecord attack = start_record();
    build_attack_maps(attack);
    EXPECT_SQUARES(attack.white_attacks, "a3 b3 c3 d3 e3 f3 g3 h3");
    EXPECT_SQUARES(attack.black_attacks, "a6 b6 c6 d6 e6 f6 g6 h6");

    PositionRecord generated = start_record();
    generate_moves(generated);
    EXPECT_EQ(generated.white_attacks.byte(0), 0x7E);
    EXPECT_EQ(generated.white_attacks.byte(1), 0xFF);
    EXPECT_EQ(generated.white_attacks.byte(2), 0xFF);
    EXPECT_EQ(generated.white_attacks.bits >> 24, 0u);
    EXPECT_EQ(generated.black_attacks.byte(5), 0xFF);
    EXPECT_EQ(generated.black_attacks.byte(6), 0xFF);
    EXPECT_EQ(generated.black_attacks.byte(7), 0x7E);
    EXPECT_EQ(generated.black_attacks.bits & 0xFFFFFFFFFFu, 0u);
    EXPECT_NE(generated.white_attacks, attack.white_attacks);
}

}  // namespace
}  // namespace quill
