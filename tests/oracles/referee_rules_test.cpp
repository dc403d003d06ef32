// The referee's rules on the cases where move generators usually go wrong: castling through,
// into and out of check, castling rights lost by king and rook walks and by captures on the
// corners, en passant that exposes the king or comes too late, pins, promotion to a queen;
// and the end of a game, the board text, and following a change of position.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "referee.h"

namespace quill::oracle {
namespace {

Position at(const char* fen) {
    const auto p = Position::from_fen(fen);
    EXPECT_TRUE(p) << fen;
    return p ? *p : Position{};
}

struct Judgement {
    const char* name;
    const char* fen;
    const char* move;
    bool legal;
};

void PrintTo(const Judgement& j, std::ostream* os) { *os << j.name << ": " << j.move << " in " << j.fen; }

class OneMove : public ::testing::TestWithParam<Judgement> {};

TEST_P(OneMove, IsJudged) {
    const Judgement& j = GetParam();
    EXPECT_EQ(at(j.fen).find(j.move).has_value(), j.legal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneMove,
    ::testing::Values(
        Judgement{"ShortCastling", "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", true},
        Judgement{"LongCastling", "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", true},
        Judgement{"CastlingThroughCheck", "4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},
        Judgement{"CastlingIntoCheck", "4k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},
        Judgement{"LongCastlingIntoCheck", "2r1k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", false},
        Judgement{"LongCastlingThroughCheck", "3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", false},
        Judgement{"CastlingOutOfCheck", "4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", false},
        Judgement{"LongCastlingPastAnAttackedB1", "1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", true},
        Judgement{"LongCastlingOverAPieceOnB1", "4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "e1c1", false},
        Judgement{"CastlingWithoutTheRight", "4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "e1g1", false},
        Judgement{"CastlingWithoutTheRook", "4k3/8/8/8/8/8/8/R3K1R1 w KQ - 0 1", "e1g1", false},
        Judgement{"BlackCastlingThroughCheck", "r3k2r/8/8/8/8/8/8/3RK3 b kq - 0 1", "e8c8", false},
        Judgement{"BlackShortCastling", "r3k2r/8/8/8/8/8/8/3RK3 b kq - 0 1", "e8g8", true},
        Judgement{"EnPassant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true},
        Judgement{"EnPassantWithoutTheSquare", "4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6", false},
        Judgement{"EnPassantExposingTheKing", "8/8/8/KPp4r/8/8/8/7k w - c6 0 1", "b5c6", false},
        Judgement{"BlackEnPassant", "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", "d4e3", true},
        Judgement{"PinnedKnight", "4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3", false},
        Judgement{"PinnedRookAlongThePin", "4r1k1/8/8/8/8/8/4R3/4K3 w - - 0 1", "e2e8", true},
        Judgement{"KingBesideTheKing", "8/8/8/3k4/8/3K4/8/8 w - - 0 1", "d3d4", false},
        Judgement{"KingTakingAGuardedPiece", "8/8/8/3k4/3p4/3K4/8/8 w - - 0 1", "d3d4", false},
        Judgement{"Promotion", "7k/P7/8/8/8/8/8/K7 w - - 0 1", "a7a8", true},
        Judgement{"PawnBlocked", "7k/8/8/8/8/p7/P7/K7 w - - 0 1", "a2a3", false},
        Judgement{"DoubleStepOverAPiece", "7k/8/8/8/8/n7/P7/K7 w - - 0 1", "a2a4", false},
        Judgement{"WrongSide", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e7e5", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Moves played one after another, and the one that must then be refused or allowed.
struct Sequence {
    const char* name;
    const char* fen;
    std::vector<const char*> moves;
    const char* then;
    bool legal;
};

void PrintTo(const Sequence& s, std::ostream* os) { *os << s.name; }

class AfterMoves : public ::testing::TestWithParam<Sequence> {};

TEST_P(AfterMoves, IsJudged) {
    const Sequence& s = GetParam();
    Position p = at(s.fen);
    for (const char* m : s.moves) ASSERT_TRUE(p.play(m)) << m << " in " << p.fen();
    EXPECT_EQ(p.find(s.then).has_value(), s.legal) << s.then << " in " << p.fen();
}

constexpr const char* CORNERS = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";

INSTANTIATE_TEST_SUITE_P(
    Cases, AfterMoves,
    ::testing::Values(
        Sequence{"KingWalkedOutAndBack", CORNERS, {"e1f1", "a8b8", "f1e1", "b8a8"}, "e1g1", false},
        Sequence{"RookWalkedOutAndBack", CORNERS, {"h1h2", "a8b8", "h2h1", "b8a8"}, "e1g1", false},
        Sequence{"OtherRookKeepsItsRight", CORNERS, {"h1h2", "a8b8", "h2h1", "b8a8"}, "e1c1", true},
        Sequence{"RookTakenOnH1ThenReplaced", "r3k2r/8/8/8/8/8/6R1/R3K2R b KQkq - 0 1",
                 {"h8h1", "g2g1", "h1h7", "g1h1", "a8b8"}, "e1g1", false},
        Sequence{"RookTakenOnH1AndTakenBack", "r3k2r/8/8/8/8/8/6bR/R3K2R b KQkq - 0 1", {"g2h1", "h2h1", "a8b8"},
                 "e1g1", false},
        Sequence{"RookTakenOnA8ThenReplaced", "r3k2r/8/8/8/4B3/8/8/R3K2R w KQkq - 0 1",
                 {"e4a8", "h8h7", "a8e4", "h7a7", "e4d3", "a7a8", "e1d2"}, "e8c8", false},
        Sequence{"EnPassantAtOnce", "4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", {"d7d5"}, "e5d6", true},
        Sequence{"EnPassantTooLate", "4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", {"d7d5", "e1e2", "e8e7"}, "e5d6",
                 false},
        Sequence{"NoEnPassantAfterSingleSteps", "4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", {"d7d6", "e1e2", "d6d5"},
                 "e5d6", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Make, CastlingEnPassantAndPromotionMoveTheRightPieces) {
    Position castle = at(CORNERS);
    ASSERT_TRUE(castle.play("e1c1"));
    EXPECT_EQ(castle.fen(), "r3k2r/8/8/8/8/8/8/2KR3R b kq -");
    Position passant = at("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    ASSERT_TRUE(passant.play("e5d6"));
    EXPECT_EQ(passant.fen(), "4k3/8/3P4/8/8/8/8/4K3 b - -");
    Position promote = at("7k/1P6/8/8/8/8/8/K7 w - - 0 1");
    ASSERT_TRUE(promote.play("b7b8"));
    EXPECT_EQ(promote.fen(), "1Q5k/8/8/8/8/8/8/K7 b - -");
    Position start = Position::start();
    ASSERT_TRUE(start.play("e2e4"));
    EXPECT_EQ(start.fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
}

TEST(GameEnd, MateStalemateAndPlay) {
    Position fools = Position::start();
    for (const char* m : {"f2f3", "e7e5", "g2g4", "d8h4"}) ASSERT_TRUE(fools.play(m));
    EXPECT_TRUE(fools.checkmated());
    EXPECT_FALSE(fools.stalemated());
    const Position stalemate = at("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_TRUE(stalemate.stalemated());
    EXPECT_FALSE(stalemate.checkmated());
    const Position check = at("7k/8/6K1/8/8/8/8/7Q b - - 0 1");
    EXPECT_TRUE(check.in_check());
    EXPECT_TRUE(check.has_legal_move());
}

TEST(BoardText, EngineOrderRankEightFirst) {
    const Position start = Position::start();
    EXPECT_EQ(start.board_text(), "rnbqkbnrpppppppp" + std::string(32, ' ') + "PPPPPPPPRNBQKBNR");
    const auto back = Position::from_board_text(start.board_text(), Side::White);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    // Anything but a piece letter is an empty square; a text of another length is refused.
    EXPECT_EQ(Position::from_board_text(std::string(63, ' ') + "x", Side::Black)->fen(), "8/8/8/8/8/8/8/8 b - -");
    EXPECT_FALSE(Position::from_board_text("K", Side::White));
    EXPECT_FALSE(Position::from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -"));
    EXPECT_FALSE(Position::from_fen("rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"));
}

// A change of position is one legal move, or it is adopted with the rights a move there
// would leave.
TEST(FollowingChanges, MoveToFindsTheOneMove) {
    Position start = Position::start();
    Position after = start;
    ASSERT_TRUE(after.play("g1f3"));
    const auto m = start.move_to(after.board_text());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text(), "g1f3");
    // Two moves at once, or a piece of the side not to move, are no move.
    ASSERT_TRUE(after.play("e7e5"));
    EXPECT_FALSE(start.move_to(after.board_text()));
    Position black_moved = start;
    black_moved.pass();
    ASSERT_TRUE(black_moved.play("e7e5"));
    EXPECT_FALSE(start.move_to(black_moved.board_text()));
    // Castling is found from the king's and the rook's new squares together.
    Position castle = at(CORNERS), castled = castle;
    ASSERT_TRUE(castled.play("e1g1"));
    EXPECT_EQ(castle.move_to(castled.board_text())->text(), "e1g1");
}

TEST(FollowingChanges, AdoptTakesRightsBySquareAndEnPassantOnlyForADoubleStep) {
    // The king steps away and back in one change: no castling right is left for White.
    Position walk = at(CORNERS);
    std::string text = walk.board_text();
    ASSERT_TRUE(walk.adopt(text));  // nothing changed: every right stays
    EXPECT_EQ(walk.fen(), "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
    text[60] = ' ';  // e1 emptied, the king on f1
    text[61] = 'K';
    ASSERT_TRUE(walk.adopt(text));
    EXPECT_EQ(walk.fen(), "r3k2r/8/8/8/8/8/8/R4K1R w kq -");
    // A rook taken on a8 by a change of White's takes Black's long right away.
    text[0] = 'B';
    ASSERT_TRUE(walk.adopt(text));
    EXPECT_EQ(walk.fen(), "B3k2r/8/8/8/8/8/8/R4K1R b k -");

    // A double step beside an enemy pawn gives the en-passant square; the same step with
    // anything else changed does not.
    const Position before = at("4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1");
    Position after = before;
    ASSERT_TRUE(after.play("d7d5"));
    Position adopted = before;
    ASSERT_TRUE(adopted.adopt(after.board_text()));
    EXPECT_EQ(adopted, after);
    EXPECT_TRUE(adopted.find("e5d6"));
    std::string more = after.board_text();
    more[0] = 'r';
    Position adopted_more = before;
    ASSERT_TRUE(adopted_more.adopt(more));
    EXPECT_EQ(adopted_more.en_passant_square(), NO_SQUARE);
    EXPECT_FALSE(adopted.adopt("short"));
}

TEST(Shape, OnlyPositionsAGameCouldReach) {
    EXPECT_TRUE(Position::start().is_reachable_shape());
    EXPECT_FALSE(at("8/8/8/8/8/8/8/4K3 w - - 0 1").is_reachable_shape());           // no black king
    EXPECT_FALSE(at("4k3/8/8/8/8/8/8/3KK3 w - - 0 1").is_reachable_shape());        // two white kings
    EXPECT_FALSE(at("P3k3/8/8/8/8/8/8/4K3 w - - 0 1").is_reachable_shape());        // a pawn on rank 8
    EXPECT_FALSE(at("4k2R/8/8/8/8/8/8/4K3 w - - 0 1").is_reachable_shape());        // Black, not to move, in check
    EXPECT_TRUE(at("4k2R/8/8/8/8/8/8/4K3 b - - 0 1").is_reachable_shape());         // Black to move in check
}

}  // namespace
}  // namespace quill::oracle
