// Leaf counts of the legal-move walk the perft tool uses, on published positions and on
// small positions counted by hand. Hand-made positions also run reflected for Black.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/perft.h"
#include "moves_test_support.h"

namespace quill::test {
namespace {

struct PerftCase {
    const char* name;
    const char* fen;
    int depth;
    std::uint64_t nodes;
};

void PrintTo(const PerftCase& pc, std::ostream* os) { *os << pc.name << " (" << pc.fen << ", depth " << pc.depth << ")"; }

std::uint64_t count(const std::string& fen, int depth) {
    const SetupPosition p = setup(fen);
    return perft(p.record, p.side_to_move, depth);
}

class PublishedPerft : public ::testing::TestWithParam<PerftCase> {};

TEST_P(PublishedPerft, LeafCount) {
    const PerftCase& pc = GetParam();
    EXPECT_EQ(count(pc.fen, pc.depth), pc.nodes) << pc.fen << " depth " << pc.depth;
}

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
constexpr const char* ENDGAME = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -";
constexpr const char* MIDDLEGAME = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

INSTANTIATE_TEST_SUITE_P(
    Positions, PublishedPerft,
    ::testing::Values(PerftCase{"Start1", START, 1, 20}, PerftCase{"Start2", START, 2, 400},
                      PerftCase{"Start3", START, 3, 8902}, PerftCase{"Start4", START, 4, 197281},
                      PerftCase{"Endgame1", ENDGAME, 1, 14}, PerftCase{"Endgame2", ENDGAME, 2, 191},
                      PerftCase{"Endgame3", ENDGAME, 3, 2812}, PerftCase{"Endgame4", ENDGAME, 4, 43238},
                      PerftCase{"Middlegame1", MIDDLEGAME, 1, 48}, PerftCase{"Middlegame2", MIDDLEGAME, 2, 2039},
                      PerftCase{"Middlegame3", MIDDLEGAME, 3, 97862}),
    [](const auto& info) { return std::string(info.param.name); });

// Small positions counted by hand. The counts hold for the reflected position with Black to
// move as well.
class HandPerft : public ::testing::TestWithParam<PerftCase> {};

TEST_P(HandPerft, LeafCountBothColours) {
    const PerftCase& pc = GetParam();
    EXPECT_EQ(count(pc.fen, pc.depth), pc.nodes) << pc.fen << " depth " << pc.depth;
    const std::string mirrored = mirror_fen(pc.fen);
    EXPECT_EQ(count(mirrored, pc.depth), pc.nodes) << mirrored << " depth " << pc.depth;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, HandPerft,
    ::testing::Values(
        // King 5, d5: d6 and takes e6, f5: f6 and takes e6.
        PerftCase{"EnPassantFromBothSides", "4k3/8/8/3PpP2/8/8/8/4K3 w - e6", 1, 9},
        // King 5, b5: b6 and takes a6; h5: h6 only.
        PerftCase{"EnPassantOnFileA", "4k3/8/8/pP5P/8/8/8/4K3 w - a6", 1, 8},
        // King 5, a5: a6 only; g5: g6 and takes h6.
        PerftCase{"EnPassantOnFileH", "4k3/8/8/P5Pp/8/8/8/4K3 w - h6", 1, 8},
        // Four king moves (d1 d2 f1 f2) with 6 replies each (king 5, d3); e3 and e4 with 7
        // (king 5, d3, and dxe3 or d4xe3 en passant).
        PerftCase{"EnPassantReplyToDoubleStep", "4k3/8/8/8/3p4/8/4P3/4K3 w - -", 2, 38},
        // Rook behind the pawns on the fifth rank: bxc6 en passant and Kb4 would leave the
        // king attacked; b6, Ka4, Kb6, Ka6 remain.
        PerftCase{"EnPassantExposingTheKing", "8/8/8/KPp4r/8/8/8/7k w - c6", 1, 4},
        // f1 attacked: no short castling, no Kf1, Kf2; long castling, Ra1 10, Rh1 9, Kd1 Kd2 Ke2.
        PerftCase{"CastlingThroughCheck", "2k2r2/8/8/8/8/8/8/R3K2R w KQ -", 1, 23},
        // In check from e8: no castling, no rook can cover; king d1 d2 f1 f2.
        PerftCase{"CastlingOutOfCheck", "2k1r3/8/8/8/8/8/8/R3K2R w KQ -", 1, 4},
        // Only b1 attacked: both castlings, Ra1 10, Rh1 9, king 5.
        PerftCase{"LongCastlingWithB1Attacked", "1r4k1/8/8/8/8/8/8/R3K2R w KQ -", 1, 26},
        // Rook on d8 holds d1 and d2: king e2 f1 f2, e8 and exd8, each a queen only.
        PerftCase{"PromotionCountsOnce", "3r4/4P3/8/8/8/8/8/k3K3 w - -", 1, 5},
        // After e8=Q: king 3, rook 7 down the d-file, 3 to the a-side, takes e8 = 14. After
        // exd8=Q: king 3 (the queen holds the d-file). After a king move: king 3, rook 14.
        PerftCase{"PromotionReplies", "3r4/4P3/8/8/8/8/8/k3K3 w - -", 2, 68}),
    [](const auto& info) { return std::string(info.param.name); });

// The walk's visitor sees every legal root move once, with the leaves below it.
TEST(PerftWalk, VisitsEachRootMoveWithItsCount) {
    const SetupPosition p = setup("4k3/8/8/8/3p4/8/4P3/4K3 w - -");
    std::vector<std::string> moves;
    std::uint64_t sum = 0;
    const std::uint64_t total =
        perft_walk(p.record, WHITE, 2, [&](const PositionRecord& before, const PositionRecord& after, std::uint64_t n) {
            moves.push_back(move_name(before, after, WHITE) + ":" + std::to_string(n));
            sum += n;
        });
    EXPECT_EQ(total, 38u);
    EXPECT_EQ(sum, total);
    EXPECT_EQ(moves, (std::vector<std::string>{"e2e3:7", "e2e4:7", "e1f1:6", "e1d1:6", "e1f2:6", "e1d2:6"}));
    EXPECT_EQ(perft(p.record, WHITE, 0), 1u);
}

}  // namespace
}  // namespace quill::test
