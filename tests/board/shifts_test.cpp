// The four edge-aware shifts, the ray directions built from them and the knight jumps.
#include <gtest/gtest.h>

#include <string>

#include "board/shifts.h"
#include "oracles/steps.h"
#include "board_test_support.h"

namespace quill {
namespace {

using test::square_names;
using test::squares;

std::string name_of(int rank, int file) { return {char('a' + file), char('1' + rank)}; }

// Every square of the board: a shift either moves it one square in its direction or, at the
// edge, returns 1 and leaves it where it was.
TEST(ShiftOneSquare, EverySquareMovesOrFailsUnchanged) {
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file) {
            SCOPED_TRACE(name_of(rank, file));
            const ByteBoard start = square_board(name_of(rank, file));

            ByteBoard b = start;
            if (rank == 7) {
                EXPECT_EQ(shift_north(b), 1);
                EXPECT_EQ(b, start);
            } else {
                EXPECT_EQ(shift_north(b), 0);
                EXPECT_EQ(b, square_board(name_of(rank + 1, file)));
            }

            b = start;
            if (rank == 0) {
                EXPECT_EQ(shift_south(b), 1);
                EXPECT_EQ(b, start);
            } else {
                EXPECT_EQ(shift_south(b), 0);
                EXPECT_EQ(b, square_board(name_of(rank - 1, file)));
            }

            b = start;
            if (file == 7) {
                EXPECT_EQ(shift_east(b), 1);
                EXPECT_EQ(b, start);
            } else {
                EXPECT_EQ(shift_east(b), 0);
                EXPECT_EQ(b, square_board(name_of(rank, file + 1)));
            }

            b = start;
            if (file == 0) {
                EXPECT_EQ(shift_west(b), 1);
                EXPECT_EQ(b, start);
            } else {
                EXPECT_EQ(shift_west(b), 0);
                EXPECT_EQ(b, square_board(name_of(rank, file - 1)));
            }
        }
}

TEST(ShiftNorth, AnyBitOnRankEightReturnsOneUnchanged) {
    // Whatever else the board holds, one bit in byte 7 stops the whole shift.
    for (const std::uint64_t bits :
         {0x0100000000000000ULL, 0x80000000000000FFULL, 0x0100FF00FF00FF00ULL}) {
        ByteBoard b{bits};
        EXPECT_EQ(shift_north(b), 1);
        EXPECT_EQ(b.bits, bits);
    }
}

TEST(ShiftSouth, AnyBitOnRankOneReturnsOneUnchanged) {
    for (const std::uint64_t bits : {0x01ULL, 0xFF00000000000080ULL, 0x00FF00FF00FF0001ULL}) {
        ByteBoard b{bits};
        EXPECT_EQ(shift_south(b), 1);
        EXPECT_EQ(b.bits, bits);
    }
}

TEST(ShiftNorth, MovesEveryByteUpAndEmptiesRankOne) {
    ByteBoard b = squares("a1 h1 c2 e4 h7");
    EXPECT_EQ(shift_north(b), 0);
    EXPECT_SQUARES(b, "a2 h2 c3 e5 h8");
}

TEST(ShiftSouth, MovesEveryByteDownAndEmptiesRankEight) {
    ByteBoard b = squares("a8 h8 c7 e4 h2");
    EXPECT_EQ(shift_south(b), 0);
    EXPECT_SQUARES(b, "a7 h7 c6 e3 h1");
}

TEST(ShiftEast, FileHReturnsOneUnchanged) {
    ByteBoard b = square_board(3, 0x01);  // h4
    EXPECT_EQ(shift_east(b), 1);
    EXPECT_EQ(b, square_board("h4"));
}

TEST(ShiftWest, FileAReturnsOneUnchanged) {
    ByteBoard b = square_board(3, 0x80);  // a4
    EXPECT_EQ(shift_west(b), 1);
    EXPECT_EQ(b, square_board("a4"));
}

// Sideways shifts work rank by rank: a byte's bits never spill into the neighbouring rank.
TEST(ShiftEast, BitsStayOnTheirRank) {
    ByteBoard b{0x7E7E7E7E7E7E7E7EULL};
    EXPECT_EQ(shift_east(b), 0);
    EXPECT_EQ(b.bits, 0x3F3F3F3F3F3F3F3FULL);
    ByteBoard a_file{0x8080808080808080ULL};
    EXPECT_EQ(shift_east(a_file), 0);
    EXPECT_EQ(a_file.bits, 0x4040404040404040ULL);
}

TEST(ShiftWest, BitsStayOnTheirRank) {
    ByteBoard b{0x7E7E7E7E7E7E7E7EULL};
    EXPECT_EQ(shift_west(b), 0);
    EXPECT_EQ(b.bits, 0xFCFCFCFCFCFCFCFCULL);
    ByteBoard h_file{0x0101010101010101ULL};
    EXPECT_EQ(shift_west(h_file), 0);
    EXPECT_EQ(h_file.bits, 0x0202020202020202ULL);
}

// The sideways shifts walk the bytes from rank 1 upwards and stop at the first byte holding
// the edge file: the ranks below it have already moved, that rank and those above have not.
TEST(ShiftEast, StopsAtFirstEdgeByteAfterShiftingTheRanksBelow) {
    ByteBoard b = squares("d1 c2 h3 c3 c5 h6");
    EXPECT_EQ(shift_east(b), 1);
    EXPECT_SQUARES(b, "e1 d2 h3 c3 c5 h6");
}

TEST(ShiftWest, StopsAtFirstEdgeByteAfterShiftingTheRanksBelow) {
    ByteBoard b = squares("d1 f2 a3 f3 f5 a6");
    EXPECT_EQ(shift_west(b), 1);
    EXPECT_SQUARES(b, "c1 e2 a3 f3 f5 a6");
}

TEST(ShiftEast, EdgeOnRankOneShiftsNothing) {
    ByteBoard b = squares("h1 d4 b8");
    EXPECT_EQ(shift_east(b), 1);
    EXPECT_SQUARES(b, "h1 d4 b8");
}

TEST(ShiftWest, EdgeOnRankEightShiftsEveryRankBelow) {
    ByteBoard b = squares("b1 d4 a8 c8");
    EXPECT_EQ(shift_west(b), 1);
    EXPECT_SQUARES(b, "a1 c4 a8 c8");
}

// A direction applies its shifts in order and stops at the first failure, leaving the board
// where the successful shifts took it.
TEST(ApplyDirection, DiagonalStopsAfterTheFailingShift) {
    ByteBoard b = square_board("h3");
    EXPECT_EQ(apply_steps(RAY_STEPS[NORTH_EAST], b), 1);
    EXPECT_EQ(b, square_board("h4"));  // north succeeded, east failed

    b = square_board("h1");
    EXPECT_EQ(apply_steps(RAY_STEPS[SOUTH_EAST], b), 1);
    EXPECT_EQ(b, square_board("h1"));  // south failed first

    b = square_board("e4");
    EXPECT_EQ(apply_steps(RAY_STEPS[SOUTH_WEST], b), 0);
    EXPECT_EQ(b, square_board("d3"));
    EXPECT_EQ(apply_steps(RAY_STEPS[NORTH_WEST], b), 0);
    EXPECT_EQ(b, square_board("c4"));
}

struct JumpCase {
    int jump;  // 1..8
    const char* from;
    const char* to;  // empty when the jump leaves the board
};

void PrintTo(const JumpCase& c, std::ostream* os) { *os << "J" << c.jump << " from " << c.from; }

class KnightJump : public ::testing::TestWithParam<JumpCase> {};

// One jump marks its landing square into the targets board and the accumulator (adding to
// what they hold), marks nothing when it would leave the board, and always empties the
// scratch board.
TEST_P(KnightJump, MarksLandingSquareOrNothing) {
    const JumpCase& c = GetParam();
    MinorSlots slot_boards{};
    const ByteBoard before_marks = squares("a8 h1");
    slot_boards[3] = before_marks;
    ByteBoard accumulator = before_marks;
    ByteBoard scratch = square_board(c.from);

    knight_jump(KNIGHT_JUMPS[c.jump - 1], scratch, accumulator, SlotView{slot_boards.data(), 6}, 3);

    EXPECT_TRUE(scratch.empty());
    const ByteBoard landed = squares(c.to);
    EXPECT_EQ(slot_boards[3], before_marks | landed);
    EXPECT_EQ(accumulator, before_marks | landed);
    for (int i : {0, 1, 2, 4, 5}) EXPECT_TRUE(slot_boards[i].empty()) << "board " << i;
}

INSTANTIATE_TEST_SUITE_P(FromTheCentre, KnightJump,
                         ::testing::Values(JumpCase{1, "d4", "e6"}, JumpCase{2, "d4", "f5"},
                                           JumpCase{3, "d4", "f3"}, JumpCase{4, "d4", "e2"},
                                           JumpCase{5, "d4", "c2"}, JumpCase{6, "d4", "b3"},
                                           JumpCase{7, "d4", "b5"}, JumpCase{8, "d4", "c6"},
                                           JumpCase{1, "g1", "h3"}));

INSTANTIATE_TEST_SUITE_P(AtTheEdge, KnightJump,
                         ::testing::Values(JumpCase{1, "h1", ""},  // north, north; east fails
                                           JumpCase{1, "b7", ""},  // second north fails
                                           JumpCase{2, "g4", ""},  // second east fails
                                           JumpCase{2, "c8", ""},  // north fails at once
                                           JumpCase{3, "g1", ""},  // south fails
                                           JumpCase{4, "b2", ""},  // second south fails
                                           JumpCase{5, "a4", ""},  // west fails
                                           JumpCase{6, "b4", ""},  // second west fails
                                           JumpCase{7, "b8", ""},  // north fails
                                           JumpCase{8, "h7", ""},  // second north fails
                                           JumpCase{5, "b3", "a1"}, JumpCase{7, "c1", "a2"},
                                           JumpCase{3, "f8", "h7"}, JumpCase{8, "b6", "a8"}));

}  // namespace
}  // namespace quill
