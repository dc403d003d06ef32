// One ray step of the attack pass (own piece ends the ray unmarked) and of the generation pass
// (the first blocker is marked whatever its colour), for both colours.
#include <gtest/gtest.h>

#include <string>

#include "oracles/steps.h"
#include "board_test_support.h"

namespace quill {
namespace {

using test::squares;

enum class StepKind { Attack, Target };

// The scratch board, accumulator, occupancy, slot boards and stop flag of one step, with the
// occupancy laid out for the colour under test: `own` is that colour's pieces.
struct StepState {
    Color color;
    ByteBoard scratch, accumulator, white_pieces, black_pieces;
    MinorSlots slot_boards{};
    std::uint8_t stop = 0;
    static constexpr int INDEX = 3;

    StepState(Color c, std::string_view from, std::string_view own, std::string_view enemy)
        : color(c), scratch(square_board(from)) {
        (c == WHITE ? white_pieces : black_pieces) = squares(own);
        (c == WHITE ? black_pieces : white_pieces) = squares(enemy);
    }

    void step(StepKind kind, const Steps& d) {
        const SlotView s{slot_boards.data(), 6};
        if (kind == StepKind::Attack) {
            if (color == WHITE)
                attack_step<WHITE>(d, scratch, accumulator, white_pieces, black_pieces, s, INDEX,
                                   stop);
            else
                attack_step<BLACK>(d, scratch, accumulator, white_pieces, black_pieces, s, INDEX,
                                   stop);
        } else {
            if (color == WHITE)
                target_step<WHITE>(d, scratch, accumulator, white_pieces, black_pieces, s, INDEX,
                                   stop);
            else
                target_step<BLACK>(d, scratch, accumulator, white_pieces, black_pieces, s, INDEX,
                                   stop);
        }
    }

    // What a sliding piece does in one direction: up to eight steps while the flag is clear.
    void ray(StepKind kind, const Steps& d) {
        for (int i = 0; i < 8 && !stop; ++i) step(kind, d);
    }

    // Marks go to the accumulator and to the targets board being filled, and nowhere else.
    void expect_marked(std::string_view list) const {
        EXPECT_SQUARES(accumulator, list);
        EXPECT_SQUARES(slot_boards[INDEX], list);
        for (int i : {0, 1, 2, 4, 5}) EXPECT_TRUE(slot_boards[i].empty()) << "board " << i;
    }
};

class AttackStep : public ::testing::TestWithParam<Color> {};
class TargetStep : public ::testing::TestWithParam<Color> {};

std::string color_param_name(const ::testing::TestParamInfo<Color>& info) {
    return test::color_name(info.param);
}

TEST_P(AttackStep, EmptySquareIsMarkedAndRayGoesOn) {
    StepState s(GetParam(), "e4", "", "");
    s.step(StepKind::Attack, RAY_STEPS[NORTH]);
    EXPECT_EQ(s.scratch, square_board("e5"));
    EXPECT_EQ(s.stop, 0);
    s.expect_marked("e5");
}

TEST_P(AttackStep, OwnPieceEndsRayUnmarked) {
    StepState s(GetParam(), "e4", "e5", "");
    s.step(StepKind::Attack, RAY_STEPS[NORTH]);
    EXPECT_EQ(s.scratch, square_board("e5"));
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("");
}

TEST_P(AttackStep, EnemyPieceIsMarkedThenEndsRay) {
    StepState s(GetParam(), "e4", "", "e5");
    s.step(StepKind::Attack, RAY_STEPS[NORTH]);
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("e5");
}

TEST_P(AttackStep, SetStopFlagSuppressesMarkingButBoardStillMoves) {
    StepState s(GetParam(), "e4", "", "");
    s.stop = 1;
    s.step(StepKind::Attack, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(s.scratch, square_board("f5"));
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("");
}

// A failed shift ends the call before any test: the stop flag is not touched even when the
// half-moved scratch board stands on a piece.
TEST_P(AttackStep, FailedShiftTestsNothing) {
    StepState own(GetParam(), "h3", "h4", "");
    own.step(StepKind::Attack, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(own.scratch, square_board("h4"));
    EXPECT_EQ(own.stop, 0);
    own.expect_marked("");

    StepState enemy(GetParam(), "h3", "", "h4");
    enemy.step(StepKind::Attack, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(enemy.stop, 0);
    enemy.expect_marked("");
}

TEST_P(AttackStep, MarkingAddsToEarlierMarks) {
    StepState s(GetParam(), "e4", "", "");
    s.accumulator = squares("a1 e5");
    s.slot_boards[StepState::INDEX] = squares("a1 e5");
    s.step(StepKind::Attack, RAY_STEPS[NORTH]);
    s.expect_marked("a1 e5");
    s.step(StepKind::Attack, RAY_STEPS[EAST]);
    s.expect_marked("a1 e5 f5");
}

TEST_P(AttackStep, RookRayStopsBeforeOwnAndAfterEnemy) {
    StepState north(GetParam(), "a1", "a1 a3", "e1");
    north.ray(StepKind::Attack, RAY_STEPS[NORTH]);
    north.expect_marked("a2");

    StepState east(GetParam(), "a1", "a1 a3", "e1");
    east.ray(StepKind::Attack, RAY_STEPS[EAST]);
    east.expect_marked("b1 c1 d1 e1");
}

// NE from h3: north succeeds and east fails on every call, so the board creeps up the h-file
// and nothing is ever marked.
TEST_P(AttackStep, DiagonalAlongTheEdgeMarksNothing) {
    StepState s(GetParam(), "h3", "", "");
    s.ray(StepKind::Attack, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(s.stop, 0);
    s.expect_marked("");

    StepState corner(GetParam(), "a1", "", "");
    corner.ray(StepKind::Attack, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(corner.scratch, square_board("a1"));
    corner.expect_marked("");
}

TEST_P(TargetStep, EmptySquareIsMarkedAndRayGoesOn) {
    StepState s(GetParam(), "e4", "", "");
    s.step(StepKind::Target, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(s.scratch, square_board("d3"));
    EXPECT_EQ(s.stop, 0);
    s.expect_marked("d3");
}

TEST_P(TargetStep, OwnPieceIsMarkedThenEndsRay) {
    StepState s(GetParam(), "e4", "d3", "");
    s.step(StepKind::Target, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("d3");
}

TEST_P(TargetStep, EnemyPieceIsMarkedThenEndsRay) {
    StepState s(GetParam(), "e4", "", "d3");
    s.step(StepKind::Target, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("d3");
}

TEST_P(TargetStep, SetStopFlagSuppressesMarking) {
    StepState s(GetParam(), "e4", "", "d3");
    s.stop = 1;
    s.step(StepKind::Target, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(s.scratch, square_board("d3"));
    EXPECT_EQ(s.stop, 1);
    s.expect_marked("");
}

// After a failed shift nothing is marked, but the own-piece test still runs on the board as
// it stands; the enemy test does not.
TEST_P(TargetStep, FailedShiftStillTestsOwnPieces) {
    StepState own(GetParam(), "h3", "h4", "");
    own.step(StepKind::Target, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(own.scratch, square_board("h4"));
    EXPECT_EQ(own.stop, 1);
    own.expect_marked("");

    StepState enemy(GetParam(), "h3", "", "h4");
    enemy.step(StepKind::Target, RAY_STEPS[NORTH_EAST]);
    EXPECT_EQ(enemy.stop, 0);
    enemy.expect_marked("");

    StepState empty(GetParam(), "a1", "", "");
    empty.step(StepKind::Target, RAY_STEPS[SOUTH_WEST]);
    EXPECT_EQ(empty.stop, 0);
    empty.expect_marked("");
}

TEST_P(TargetStep, RookRayIncludesBlockerOfEitherColour) {
    StepState north(GetParam(), "a1", "a1 b1", "a7");
    north.ray(StepKind::Target, RAY_STEPS[NORTH]);
    north.expect_marked("a2 a3 a4 a5 a6 a7");

    StepState east(GetParam(), "a1", "a1 b1", "a7");
    east.ray(StepKind::Target, RAY_STEPS[EAST]);
    east.expect_marked("b1");
}

INSTANTIATE_TEST_SUITE_P(BothColours, AttackStep, ::testing::Values(WHITE, BLACK),
                         color_param_name);
INSTANTIATE_TEST_SUITE_P(BothColours, TargetStep, ::testing::Values(WHITE, BLACK),
                         color_param_name);

}  // namespace
}  // namespace quill
