// The static evaluation: material, piece-square values and attacked squares of each side,
// the check bonus of the viewing side, the lost-king score and the noisy variant's draws.
//
// Expected scores are worked out by hand. The attack maps are those generate_moves leaves:
// a king marks every neighbour, a pawn both forward diagonals, a ray runs up to and
// including its first blocker of either colour, and a knight marks its jumps except onto
// its own pieces. A side's attack term counts the union of its pieces' squares once each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "support/position_setup.h"
#include "support/test_support.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/evaluation_tables.h"

namespace quill {
namespace {

using test::record_from;

std::int32_t standard(std::string_view fen, Color view) {
    return evaluate_position<Evaluation::Standard>(record_from(fen), view);
}

// Kings on e1 and e8 are worth exactly KING_VALUE and each attacks its five neighbours, so
// with nothing else on the board each side's total is this.
constexpr std::int32_t LONE_KING_E = KING_VALUE + 3 * 5;

struct EvalCase {
    const char* name;
    const char* fen;
    Color view;
    std::int32_t expected;
};

class EvaluateStandard : public ::testing::TestWithParam<EvalCase> {};

TEST_P(EvaluateStandard, ScoresPositionAsWorkedOut) {
    const EvalCase& c = GetParam();
    EXPECT_EQ(standard(c.fen, c.view), c.expected) << c.fen;
}

// Single pieces beside kings on e1 and e8: each case exercises one table entry and the
// attack squares the piece adds.
const EvalCase PIECE_CASES[] = {
    {"BareKingsOnE1AndE8", "4k3/8/8/8/8/8/8/4K3 w - - 0 1", WHITE, 0},
    // Pawn e7 attacks d8 f8: 7 squares with the king's five.
    {"WhitePawnE7", "4k3/4P3/8/8/8/8/8/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 100 + 21 + 3 * 7) - LONE_KING_E},
    // Pawn b7 attacks a8 c8; White's rank-7 entry on b is 10.
    {"WhitePawnB7", "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 100 + 10 + 3 * 7) - LONE_KING_E},
    // Pawn d2 attacks c3 e3; d2 itself is already a king neighbour.
    {"WhitePawnD2", "4k3/8/8/8/8/8/3P4/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 100 - 6 + 3 * 7) - LONE_KING_E},
    {"WhitePawnE2", "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 100 - 6 + 3 * 7) - LONE_KING_E},
    // Pawn e2 attacks d1 f1.
    {"BlackPawnE2", "4k3/8/8/8/8/8/4p3/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 100 + 21 + 3 * 7) - LONE_KING_E},
    {"BlackPawnE2FromWhite", "4k3/8/8/8/8/8/4p3/4K3 b - - 0 1", WHITE,
     LONE_KING_E - (KING_VALUE + 100 + 21 + 3 * 7)},
    // Black's rank-2 entry on b is 11 where White's rank-7 one is 10. Attacks a1 c1.
    {"BlackPawnB2", "4k3/8/8/8/8/8/1p6/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 100 + 11 + 3 * 7) - LONE_KING_E},
    {"BlackPawnG2", "4k3/8/8/8/8/8/6p1/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 100 + 11 + 3 * 7) - LONE_KING_E},
    // Black pawn d7 still at home: -6. Attacks c6 e6.
    {"BlackPawnD7", "4k3/3p4/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 100 - 6 + 3 * 7) - LONE_KING_E},
    // King g1: +11, neighbours f1 h1 f2 g2 h2.
    {"WhiteKingG1", "4k3/8/8/8/8/8/8/6K1 w - - 0 1", WHITE,
     (KING_VALUE + 11 + 3 * 5) - LONE_KING_E},
    // King b1: +11; king a1: +2 and only three neighbours.
    {"WhiteKingB1", "4k3/8/8/8/8/8/8/1K6 w - - 0 1", WHITE,
     (KING_VALUE + 11 + 3 * 5) - LONE_KING_E},
    {"WhiteKingA1", "4k3/8/8/8/8/8/8/K7 w - - 0 1", WHITE,
     (KING_VALUE + 2 + 3 * 3) - LONE_KING_E},
    // Centre kings attack eight squares. White c5 is -20; Black's c4, its mirror, is -21.
    {"WhiteKingC5", "4k3/8/8/2K5/8/8/8/8 w - - 0 1", WHITE,
     (KING_VALUE - 20 + 3 * 8) - LONE_KING_E},
    {"BlackKingC4", "8/8/8/8/2k5/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE - 21 + 3 * 8) - LONE_KING_E},
    {"BlackKingH4", "8/8/8/8/7k/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE - 13 + 3 * 5) - LONE_KING_E},
    // Black's rank 3 has -21 on b but -20 on a; White's rank 6 has -20 on both.
    {"BlackKingB3", "8/8/8/8/8/1k6/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE - 21 + 3 * 8) - LONE_KING_E},
    {"BlackKingA3", "8/8/8/8/8/k7/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE - 20 + 3 * 5) - LONE_KING_E},
    {"WhiteKingB6", "4k3/8/1K6/8/8/8/8/8 w - - 0 1", WHITE,
     (KING_VALUE - 20 + 3 * 8) - LONE_KING_E},
    {"BlackKingG8", "6k1/8/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 11 + 3 * 5) - LONE_KING_E},
    // Knight d4: eight jumps, e2 shared with the king: 12 squares.
    {"WhiteKnightD4", "4k3/8/8/8/3N4/8/8/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 306 + 8 + 3 * 12) - LONE_KING_E},
    // Knight f3: its jump onto the own king on e1 is not an attack; d2 is shared: 7 + 5 - 1.
    {"WhiteKnightF3BesideOwnKing", "4k3/8/8/8/8/5N2/8/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 306 + 6 + 3 * 11) - LONE_KING_E},
    // Knight b8: a6 c6 d7, d7 shared with the king: 7 squares.
    {"BlackKnightB8", "1n2k3/8/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 306 - 15 + 3 * 7) - LONE_KING_E},
    // Bishop c4: d5 e6 f7 g8, d3 e2 f1, b3 a2, b5 a6; e2 and f1 shared: 11 + 5 - 2.
    {"WhiteBishopC4", "4k3/8/8/8/2B5/8/8/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 325 + 14 + 3 * 14) - LONE_KING_E},
    // Bishop b6: c7 d8, c5 d4 e3 f2 g1, a5, a7; d8 shared: 9 + 5 - 1. The table is not
    // symmetric between ranks: b6 is 6, b3 is 4.
    {"BlackBishopB6", "4k3/8/1b6/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 325 + 6 + 3 * 13) - LONE_KING_E},
    {"WhiteBishopB3", "4k3/8/8/8/8/1B6/8/4K3 w - - 0 1", WHITE,
     // c4 d5 e6 f7 g8, c2 d1, a2, a4; d1 shared: 9 + 5 - 1.
     (KING_VALUE + 325 + 4 + 3 * 13) - LONE_KING_E},
    // Rook a1: a2..a8 and b1 c1 d1 e1, ending on its own king; d1 shared: 11 + 5 - 1.
    {"WhiteRookA1", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", WHITE,
     (KING_VALUE + 515 + 3 * 15) - LONE_KING_E},
    // Rook h8: h7..h1 and g8 f8 e8 (own king); f8 shared: 10 + 5 - 1.
    {"BlackRookH8", "4k2r/8/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 515 + 3 * 14) - LONE_KING_E},
    // Queen a1: a2..a8, b2..h8, b1 c1 d1 e1; d1 shared: 18 + 5 - 1.
    {"WhiteQueenA1", "4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", WHITE,
     (KING_VALUE + 1200 + 3 * 22) - LONE_KING_E},
    // Queen d8 beside its king: c8 b8 a8, e8 (own king), d7..d1, e7 f6 g5 h4, c7 b6 a5;
    // d7 and e7 shared with the king, whose own d8 the queen does not mark: 18 + 5 - 2.
    {"BlackQueenD8", "3qk3/8/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     (KING_VALUE + 1200 + 3 * 21) - LONE_KING_E},
    // Eight pawns on rank 2 (table sum -12) attack all of rank 3; the king's five
    // neighbours are all marked although d2 e2 f2 are own pawns: 8 + 5.
    {"WhitePawnRow", "4k3/8/8/8/8/8/PPPPPPPP/4K3 w - - 0 1", WHITE,
     (KING_VALUE + 800 - 12 + 3 * 13) - LONE_KING_E},
};
INSTANTIATE_TEST_SUITE_P(SinglePieces, EvaluateStandard, ::testing::ValuesIn(PIECE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// Whole positions.
//
// After 1.e4 White attacks 29 squares: b1..g1 (6), all of rank 2 (8), all of rank 3 (8),
// c4 g4, b5 d5 f5 h5, a6. Its material and tables: king 10000, queen 1200, rooks 1030,
// bishops 650 - 12, knights 612 - 30, pawns 800 - 6 (d2) + 9 (e4). Black is the start
// position: 22 squares and 10000 + 1200 + 1030 + 638 + 582 + 800 - 12.
constexpr std::int32_t AFTER_E4_WHITE = 10000 + 1200 + 1030 + 638 + 582 + 803 + 3 * 29;
constexpr std::int32_t AFTER_E4_BLACK = 10000 + 1200 + 1030 + 638 + 582 + 788 + 3 * 22;

// Rook a8 checks e8 along the back rank: b8 c8 d8 e8 and a7..a1, 11 squares + 5.
constexpr std::int32_t ROOK_CHECKER = KING_VALUE + 515 + 3 * 16;

const EvalCase POSITION_CASES[] = {
    {"StartFromWhite", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", WHITE, 0},
    {"StartFromBlack", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", BLACK, 0},
    {"AfterE4FromWhite", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", WHITE,
     AFTER_E4_WHITE - AFTER_E4_BLACK},
    {"AfterE4FromBlack", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", BLACK,
     AFTER_E4_BLACK - AFTER_E4_WHITE},

    // The check bonus goes to the viewing side only, and only for its own check.
    {"WhiteChecksViewWhite", "R3k3/8/8/8/8/8/8/4K3 b - - 0 1", WHITE,
     ROOK_CHECKER + CHECK_BONUS - LONE_KING_E},
    {"WhiteChecksViewBlack", "R3k3/8/8/8/8/8/8/4K3 b - - 0 1", BLACK,
     LONE_KING_E - ROOK_CHECKER},
    {"BlackChecksViewBlack", "4k3/8/8/8/8/8/8/r3K3 w - - 0 1", BLACK,
     ROOK_CHECKER + CHECK_BONUS - LONE_KING_E},
    {"BlackChecksViewWhite", "4k3/8/8/8/8/8/8/r3K3 w - - 0 1", WHITE,
     LONE_KING_E - ROOK_CHECKER},
    // Both in check: the rooks see each other (a1 and a8 end each other's rays), the sides
    // are equal, and each view adds the bonus for itself alone.
    {"MutualCheckViewWhite", "R3k3/8/8/8/8/8/8/r3K3 w - - 0 1", WHITE, CHECK_BONUS},
    {"MutualCheckViewBlack", "R3k3/8/8/8/8/8/8/r3K3 w - - 0 1", BLACK, CHECK_BONUS},

    // A missing viewing king is lost whatever else stands; a missing enemy king only lacks
    // its value. Rook a1 alone attacks a2..a8 and b1..h1.
    {"NoWhiteKingViewWhite", "4k3/8/8/8/8/8/8/R7 w - - 0 1", WHITE, KING_LOST_SCORE},
    {"NoWhiteKingViewBlack", "4k3/8/8/8/8/8/8/R7 w - - 0 1", BLACK,
     LONE_KING_E - (515 + 3 * 14)},
    {"NoWhiteKingHeavyWhiteMaterial", "4k3/8/8/8/8/8/8/QQQQQQQQ w - - 0 1", WHITE,
     KING_LOST_SCORE},
    {"NoBlackKingViewBlack", "rrrrrrrr/8/8/8/8/8/8/4K3 b - - 0 1", BLACK, KING_LOST_SCORE},
    {"NoBlackKingViewWhite", "8/8/8/8/8/8/8/4K3 w - - 0 1", WHITE, LONE_KING_E},
    {"EmptyBoardViewWhite", "8/8/8/8/8/8/8/8 w - - 0 1", WHITE, KING_LOST_SCORE},
    {"EmptyBoardViewBlack", "8/8/8/8/8/8/8/8 w - - 0 1", BLACK, KING_LOST_SCORE},
};
INSTANTIATE_TEST_SUITE_P(Positions, EvaluateStandard, ::testing::ValuesIn(POSITION_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EvaluatePosition, LeavesRecordUnchanged) {
    const PositionRecord before = record_from("r3k2r/pp3ppp/2n1bn2/2bqp3/4P3/2NB1N2/PPPQ1PPP/R3K2R w KQkq - 0 1");
    PositionRecord r = before;
    evaluate_position<Evaluation::Standard>(r, WHITE);
    evaluate_position<Evaluation::Noisy>(r, BLACK);
    EXPECT_EQ(r, before);
}

TEST(EvaluatePosition, StandardDrawsNothingFromGenerator) {
    std::srand(7);
    const int first = std::rand();
    std::srand(7);
    evaluate_position<Evaluation::Standard>(record_from(START_FEN), WHITE);
    EXPECT_EQ(std::rand(), first);
}

// The noisy evaluation: attack weight 4, then rand() % 35 off White's total and the next
// rand() % 35 off Black's.

// Pawn e7 beside the kings on weight 4: White 7 squares, Black 5.
constexpr const char* NOISY_FEN = "4k3/4P3/8/8/8/8/8/4K3 w - - 0 1";
constexpr std::int32_t NOISY_WHITE = KING_VALUE + 121 + 4 * 7;
constexpr std::int32_t NOISY_BLACK = KING_VALUE + 4 * 5;

// The two numbers the generator yields next after srand(seed), reduced like the deductions.
struct Draws {
    int white, black, third;
};
Draws draws_after_seed(unsigned seed) {
    std::srand(seed);
    const int w = std::rand() % NOISE_RANGE;
    const int b = std::rand() % NOISE_RANGE;
    const int t = std::rand();
    return {w, b, t};
}

TEST(EvaluateNoisy, DeductsFirstDrawFromWhiteAndSecondFromBlack) {
    const PositionRecord r = record_from(NOISY_FEN);
    int seeds_with_unequal_draws = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const Draws d = draws_after_seed(seed);
        if (d.white != d.black) ++seeds_with_unequal_draws;

        std::srand(seed);
        EXPECT_EQ(evaluate_position<Evaluation::Noisy>(r, WHITE),
                  (NOISY_WHITE - d.white) - (NOISY_BLACK - d.black)) << "seed " << seed;
        std::srand(seed);
        EXPECT_EQ(evaluate_position<Evaluation::Noisy>(r, BLACK),
                  (NOISY_BLACK - d.black) - (NOISY_WHITE - d.white)) << "seed " << seed;
    }
    // Otherwise the order of the two deductions would go untested.
    EXPECT_GT(seeds_with_unequal_draws, 0);
}

TEST(EvaluateNoisy, CheckBonusOnTopOfWeightFourAndNoise) {
    const PositionRecord r = record_from("R3k3/8/8/8/8/8/8/4K3 b - - 0 1");
    const Draws d = draws_after_seed(3);
    std::srand(3);
    EXPECT_EQ(evaluate_position<Evaluation::Noisy>(r, WHITE),
              (KING_VALUE + 515 + 4 * 16 - d.white + CHECK_BONUS) - (KING_VALUE + 4 * 5 - d.black));
}

TEST(EvaluateNoisy, StaysWithinNoiseBoundAndVaries) {
    const PositionRecord r = record_from(NOISY_FEN);
    const std::int32_t noiseless = NOISY_WHITE - NOISY_BLACK;
    std::srand(12345);
    std::vector<std::int32_t> scores;
    for (int call = 0; call < 200; ++call) {
        const std::int32_t s = evaluate_position<Evaluation::Noisy>(r, WHITE);
        EXPECT_GE(s, noiseless - (NOISE_RANGE - 1));
        EXPECT_LE(s, noiseless + (NOISE_RANGE - 1));
        scores.push_back(s);
    }
    bool varied = false;
    for (std::int32_t s : scores) varied = varied || s != scores.front();
    EXPECT_TRUE(varied);
}

// Two draws on every call, also when the viewing king is missing and the result is fixed.
TEST(EvaluateNoisy, ConsumesExactlyTwoDrawsPerCall) {
    for (const char* fen : {START_FEN.data(), NOISY_FEN, "4k3/8/8/8/8/8/8/8 w - - 0 1"}) {
        const PositionRecord r = record_from(fen);
        for (Color view : {WHITE, BLACK}) {
            const Draws d = draws_after_seed(99);
            std::srand(99);
            evaluate_position<Evaluation::Noisy>(r, view);
            EXPECT_EQ(std::rand(), d.third) << fen << " view " << view;
        }
    }
    std::srand(5);
    EXPECT_EQ(evaluate_position<Evaluation::Noisy>(record_from("4k3/8/8/8/8/8/8/8 w - - 0 1"), WHITE),
              KING_LOST_SCORE);
}

}  // namespace
}  // namespace quill
