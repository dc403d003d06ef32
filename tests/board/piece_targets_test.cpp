// The targets board of single pieces after either pass. Both passes must give every piece the
// same targets, and a case written for White must hold for Black on the reflected board.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "board_test_support.h"

namespace quill {
namespace {

using test::PassKind;

struct TargetCase {
    const char* name;
    const char* placements;  // White's view; reflected with colours swapped for Black
    const char* piece;       // square of the piece whose targets are checked
    const char* targets;
};

using TargetParam = std::tuple<TargetCase, Color, PassKind>;

class PieceTargets : public ::testing::TestWithParam<TargetParam> {};

TEST_P(PieceTargets, TargetsBoardOfThePiece) {
    const auto& [c, color, pass] = GetParam();
    char letter = 0;
    test::for_each_word(c.placements, [&](std::string_view p) {
        if (p.substr(1) == c.piece) letter = p[0];
    });
    ASSERT_NE(letter, 0) << "no piece on " << c.piece;

    PositionRecord r = test::record_of(test::as_color(color, c.placements));
    test::run_pass(r, pass);
    const auto targets = test::targets_of(r, color, test::letter_kind(letter),
                                          test::squares_as_color(color, c.piece));
    ASSERT_TRUE(targets.has_value()) << "no slot holds the piece";
    EXPECT_SQUARES(*targets, test::squares_as_color(color, c.targets));
}

const TargetCase SLIDERS_KINGS_KNIGHTS[] = {
    {"RookStopsBeforeOwnAndAfterEnemy", "Ra1 Na3 ne1", "a1", "a2 b1 c1 d1 e1"},
    {"RookRunsToEnemyOnSeventh", "Ra1 Nb1 pa7", "a1", "a2 a3 a4 a5 a6 a7"},
    {"RookOnEdgeFile", "Rh4", "h4", "h5 h6 h7 h8 h3 h2 h1 g4 f4 e4 d4 c4 b4 a4"},
    {"BishopOnEdgeGoesOnlyWest", "Bh3", "h3", "g2 f1 g4 f5 e6 d7 c8"},
    {"BishopInCorner", "Ba1", "a1", "b2 c3 d4 e5 f6 g7 h8"},
    {"BishopHemmedIn", "Bc1 pd2 Pb2", "c1", "d2"},
    {"QueenAllEightRays", "Qd4 Pd6 nb2 Pf4", "d4",
     "d5 e5 f6 g7 h8 e4 e3 f2 g1 d3 d2 d1 c3 b2 c4 b4 a4 c5 b6 a7"},
    {"QueenWalledIn", "Qa1 Pa2 Pb2 Rb1", "a1", ""},
    {"KingAmongOwnPieces", "Ke1 Qd1 Pd2 Pe2 Pf2", "e1", "f1"},
    {"KingInCorner", "Kh8", "h8", "g8 g7 h7"},
    {"KingBesideEnemies", "Ke4 pe5 nd3", "e4", "d5 e5 f5 d4 f4 d3 e3 f3"},
    {"KnightDropsOwnKeepsEnemy", "Nd4 Pe6 nc2", "d4", "f5 f3 e2 c2 b3 b5 c6"},
    {"KnightInCornerH1", "Nh1", "h1", "g3 f2"},
    {"KnightInCornerA8", "Na8", "a8", "b6 c7"},
    {"KnightOnOwnBackRank", "Ng1 Pe2 Ph3 pf3", "g1", "f3"},
};

// Pawn targets: diagonal squares only when an enemy stands there, the free square ahead, and
// from the second rank the square two ahead when both are free.
const TargetCase PAWNS[] = {
    {"DoublePushFromSecondRank", "Pe2", "e2", "e3 e4"},
    {"OwnPieceAheadBlocksBothPushes", "Pe2 Ne3", "e2", ""},
    {"EnemyPieceAheadBlocksBothPushes", "Pe2 ne3", "e2", ""},
    {"EnemyTwoAheadLeavesSinglePush", "Pe2 ne4", "e2", "e3"},
    {"OwnTwoAheadLeavesSinglePush", "Pe2 Ne4", "e2", "e3"},
    {"SinglePushOffSecondRank", "Pe3", "e3", "e4"},
    {"PushOntoLastRank", "Pe7", "e7", "e8"},
    {"PushOntoLastRankBlocked", "Pe7 ke8", "e7", ""},
    {"CapturesBothDiagonals", "Pd4 nc5 ne5", "d4", "c5 d5 e5"},
    {"CapturesWhenBlockedAhead", "Pd4 nc5 ne5 nd5", "d4", "c5 e5"},
    {"EmptyDiagonalIsNoTarget", "Pd4 ne5", "d4", "d5 e5"},
    {"OwnDiagonalIsNoTarget", "Pe2 Nd3", "e2", "e3 e4"},
    {"CaptureAndDoublePush", "Pe2 nd3 nf4", "e2", "e3 e4 d3"},
    {"AFileDoesNotWrap", "Pa2 nb3 nh4", "a2", "a3 a4 b3"},
    {"HFileDoesNotWrap", "Ph2 ng3 na2", "h2", "h3 h4 g3"},
    {"CaptureOntoLastRank", "Pa7 nb8", "a7", "a8 b8"},
    {"PawnOnOwnBackRankHasNoPush", "Pe1", "e1", ""},
    {"PawnOnOwnBackRankStillCaptures", "Pe1 nd2", "e1", "d2"},
};

std::string param_name(const ::testing::TestParamInfo<TargetParam>& info) {
    const auto& [c, color, pass] = info.param;
    return std::string(c.name) + "_" + test::color_name(color) + "_" + test::pass_name(pass);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, PieceTargets,
    ::testing::Combine(::testing::ValuesIn(SLIDERS_KINGS_KNIGHTS), ::testing::Values(WHITE, BLACK),
                       ::testing::Values(PassKind::Attack, PassKind::Generate)),
    param_name);

INSTANTIATE_TEST_SUITE_P(
    Pawns, PieceTargets,
    ::testing::Combine(::testing::ValuesIn(PAWNS), ::testing::Values(WHITE, BLACK),
                       ::testing::Values(PassKind::Attack, PassKind::Generate)),
    param_name);

}  // namespace
}  // namespace quill
