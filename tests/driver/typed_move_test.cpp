// Typed moves: the four characters parsed into squares, and the legal move they name found
// among the user's legal moves, the last match winning.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "../engine/moves_test_support.h"
#include "driver/typed_move.h"

namespace quill {
namespace {

struct ParseCase {
    const char* word;
    bool complete;
};

class ParseTypedMove : public ::testing::TestWithParam<ParseCase> {};

// A complete parse gives the squares whatever the case and whatever follows the fourth character.
TEST_P(ParseTypedMove, CompleteOnlyWithFourSquareCharacters) {
    const ParseCase& c = GetParam();
    const ParsedSquares sq = parse_typed_move(c.word);
    EXPECT_EQ(sq.complete(), c.complete) << c.word;
    if (!c.complete) return;
    EXPECT_EQ(sq.from_file, FILE_E) << c.word;
    EXPECT_EQ(sq.from_rank, 1) << c.word;
    EXPECT_EQ(sq.to_file, FILE_E) << c.word;
    EXPECT_EQ(sq.to_rank, 3) << c.word;
}

INSTANTIATE_TEST_SUITE_P(Words, ParseTypedMove,
                         ::testing::Values(ParseCase{"e2e4", true}, ParseCase{"E2E4", true}, ParseCase{"e2E4", true},
                                           ParseCase{"e2e4q", true}, ParseCase{"e2e4xyz", true},
                                           ParseCase{"e2", false}, ParseCase{"e2e", false}, ParseCase{"", false},
                                           ParseCase{"i2i4", false}, ParseCase{"a9a8", false},
                                           ParseCase{"e2i4", false}, ParseCase{"e0e4", false},
                                           ParseCase{"2e4e", false}, ParseCase{"ii", false}));

TEST(ParseTypedMove, StopsAtTheFirstCharacterThatFails) {
    const ParsedSquares sq = parse_typed_move("b7x");
    EXPECT_EQ(sq.from_file, FILE_B);
    EXPECT_EQ(sq.from_rank, 6);
    EXPECT_EQ(sq.to_file, 0);
    EXPECT_EQ(sq.to_rank, ParsedSquares::NO_RANK);
}

struct MatchCase {
    const char* fen;
    Color user;
    const char* word;
    const char* made;  // the move the matched ordinal makes, or "" when nothing matches
};

// Names the move the matched ordinal makes on the position; "" for ordinal 0.
std::string made_by(const PositionRecord& position, Color user, std::int32_t ordinal) {
    if (ordinal == 0) return "";
    PositionRecord after = position;
    make_side_move(after, user, ordinal);
    generate_moves(after);
    return test::move_name(position, after, user);
}

class MatchTypedMove : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTypedMove, NamesTheLastLegalMoveWithTheTypedSquares) {
    const MatchCase& c = GetParam();
    const SetupPosition p = test::setup(c.fen);
    const std::int32_t ordinal = match_typed_move(p.record, c.user, parse_typed_move(c.word));
    EXPECT_EQ(made_by(p.record, c.user, ordinal), c.made) << c.fen << " " << c.word;
}

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* CASTLES = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";

INSTANTIATE_TEST_SUITE_P(
    Moves, MatchTypedMove,
    ::testing::Values(
        MatchCase{START, WHITE, "e2e4", "e2e4"}, MatchCase{START, WHITE, "E2E4", "e2e4"},
        MatchCase{START, WHITE, "g1f3", "g1f3"},
        // A move of the wrong side, a square pair no legal move joins, an own piece on the
        // to-square, an empty from-square, an incomplete word.
        MatchCase{START, WHITE, "e7e5", ""}, MatchCase{START, BLACK, "e2e4", ""},
        MatchCase{START, WHITE, "e2e5", ""}, MatchCase{START, WHITE, "e1e2", ""},
        MatchCase{START, WHITE, "e3e4", ""}, MatchCase{START, WHITE, "e2", ""},
        MatchCase{START, BLACK, "e7e5", "e7e5"},
        // The king's squares castle; the rook's or the king's own squares move that piece
        // alone, the later ordinal winning over the castling.
        MatchCase{CASTLES, WHITE, "e1g1", "e1g1"}, MatchCase{CASTLES, WHITE, "E1C1", "e1c1"},
        MatchCase{CASTLES, WHITE, "h1f1", "h1f1"}, MatchCase{CASTLES, WHITE, "e1f1", "e1f1"},
        MatchCase{CASTLES, BLACK, "e8g8", "e8g8"}, MatchCase{CASTLES, BLACK, "a8d8", "a8d8"},
        // A pinned piece may not leave the line of its king.
        MatchCase{"4k3/4r3/8/8/8/8/4B3/4K3 w - -", WHITE, "e2d3", ""},
        MatchCase{"4k3/4r3/8/8/8/8/4B3/4K3 w - -", WHITE, "e1d1", "e1d1"},
        // En passant is the pawn's diagonal step; the promotion the pawn's step to the last rank.
        MatchCase{"4k3/8/8/3pP3/8/8/8/4K3 w - d6", WHITE, "e5d6", "e5d6"},
        MatchCase{"4k3/8/8/3pP3/8/8/8/4K3 w - -", WHITE, "e5d6", ""},
        MatchCase{"4k3/P7/8/8/8/8/8/4K3 w - -", WHITE, "a7a8", "a7a8"}));

}  // namespace
}  // namespace quill
