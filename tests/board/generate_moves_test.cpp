// The generation pass: first blockers of either colour are marked, the attack maps keep the
// defended own pieces, and generate_moves then strips own squares from every targets board.
#include <gtest/gtest.h>

#include <string>

#include "board_test_support.h"

namespace quill {
namespace {

using test::squares;

// Each test is written from White's side and run again on the reflected board for Black.
class GenerateMoves : public ::testing::TestWithParam<Color> {
  protected:
    Color us() const { return GetParam(); }
    std::string sq(std::string_view list) const { return test::squares_as_color(us(), list); }
    PositionRecord position(std::string_view placements) const {
        return test::record_of(test::as_color(us(), placements));
    }
    ByteBoard targets(const PositionRecord& r, PieceKind k, std::string_view square) const {
        const auto t = test::targets_of(r, us(), k, sq(square));
        EXPECT_TRUE(t.has_value()) << "no slot holds " << square;
        return t.value_or(ByteBoard{});
    }
};

TEST_P(GenerateMoves, RookRayIncludesOwnBlockerUntilRemoved) {
    PositionRecord r = position("Ra1 Nb1 pa7");
    build_target_maps(r);
    EXPECT_SQUARES(targets(r, ROOK, "a1"), sq("a2 a3 a4 a5 a6 a7 b1"));
    EXPECT_TRUE(attacks(r, us()).intersects(squares(sq("b1"))));

    r = position("Ra1 Nb1 pa7");
    generate_moves(r);
    EXPECT_SQUARES(targets(r, ROOK, "a1"), sq("a2 a3 a4 a5 a6 a7"));
    EXPECT_TRUE(attacks(r, us()).intersects(squares(sq("b1"))));
}

TEST_P(GenerateMoves, KingKeepsOnlyFreeNeighbourButAttacksAll) {
    PositionRecord r = position("Ke1 Qd1 Pd2 Pe2 Pf2");
    build_target_maps(r);
    EXPECT_SQUARES(targets(r, KING, "e1"), sq("d1 d2 e2 f2 f1"));

    generate_moves(r);
    EXPECT_SQUARES(targets(r, KING, "e1"), sq("f1"));
    EXPECT_EQ(attacks(r, us()) & squares(sq("d1 d2 e2 f2 f1")), squares(sq("d1 d2 e2 f2 f1")));
}

// Knights keep own squares in their targets until generate_moves strips them, but those
// squares never reach the attack map.
TEST_P(GenerateMoves, KnightOwnSquaresKeptUntilStrippedNeverAttacked) {
    PositionRecord r = position("Nb1 Pd2");
    build_target_maps(r);
    EXPECT_SQUARES(targets(r, KNIGHT, "b1"), sq("a3 c3 d2"));
    EXPECT_FALSE(attacks(r, us()).intersects(squares(sq("d2"))));

    generate_moves(r);
    EXPECT_SQUARES(targets(r, KNIGHT, "b1"), sq("a3 c3"));
    EXPECT_FALSE(attacks(r, us()).intersects(squares(sq("d2"))));
}

TEST_P(GenerateMoves, PawnDiagonalOnOwnPieceAttackedButNoTarget) {
    PositionRecord r = position("Pe2 Nd3");
    build_target_maps(r);
    EXPECT_SQUARES(targets(r, PAWN, "e2"), sq("e3 e4"));
    generate_moves(r);
    EXPECT_SQUARES(targets(r, PAWN, "e2"), sq("e3 e4"));
    EXPECT_TRUE(attacks(r, us()).intersects(squares(sq("d3"))));
}

// What castling needs from the maps: the enemy rook covers f1, and the own rook's ray east
// ends on the own king, which is attacked (defended) but nobody's target.
TEST_P(GenerateMoves, CastlingSquaresInTheMaps) {
    PositionRecord r = position("Ra1 Ke1 rf8");
    generate_moves(r);
    EXPECT_TRUE(attacks(r, ~us()).intersects(squares(sq("f1"))));
    EXPECT_TRUE(attacks(r, us()).intersects(squares(sq("e1"))));
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) {
            const auto s = slots(r, c, PieceKind(k));
            for (int i = 1; i < s.size; i += 2)
                EXPECT_FALSE(s[i].intersects(squares(sq("e1"))))
                    << test::color_name(c) << " kind " << k;
        }
}

// No legality filter: the enemy rook may take the king, and the king may step into check.
TEST_P(GenerateMoves, KingInCheckNothingFiltered) {
    PositionRecord r = position("Ke1 re8 ka8");
    generate_moves(r);
    EXPECT_SQUARES(targets(r, KING, "e1"), sq("d1 d2 e2 f2 f1"));
    const auto rook = test::targets_of(r, ~us(), ROOK, sq("e8"));
    ASSERT_TRUE(rook.has_value());
    EXPECT_SQUARES(*rook, sq("e7 e6 e5 e4 e3 e2 e1 f8 g8 h8 d8 c8 b8"));
}

// Every targets board of a colour loses that colour's squares, the shared last slots too.
TEST_P(GenerateMoves, OwnSquaresLeaveEveryTargetsBoard) {
    PositionRecord r = position("Qa1 Qb1 Qc1 Qd1 Re2 Rf2 Bg2 Nh2 Ke1 Pa2 Pb2 Pc2 Pd2 Nc3 pb3");
    generate_moves(r);
    for (int k = 0; k < PIECE_KIND_NB; ++k) {
        const auto s = slots(r, us(), PieceKind(k));
        for (int i = 1; i < s.size; i += 2)
            EXPECT_FALSE(s[i].intersects(pieces(r, us()))) << "kind " << k;
    }
    // Queens are met d1, c1, b1, a1: the fourth shares the last slot and, being on the same
    // rank, replaces b1 in its square board.
    EXPECT_SQUARES(slots(r, us(), QUEEN)[0], sq("d1"));
    EXPECT_SQUARES(slots(r, us(), QUEEN)[1], "");  // every ray ends on an own piece at once
    EXPECT_SQUARES(slots(r, us(), QUEEN)[4], sq("a1"));
    EXPECT_SQUARES(slots(r, us(), QUEEN)[5], "");
}

INSTANTIATE_TEST_SUITE_P(BothColours, GenerateMoves, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) {
                             return std::string(test::color_name(info.param));
                         });

}  // namespace
}  // namespace quill
