// The referee's move generator against the leaf counts published for the standard rules
// (all four promotions), and the difference its game mode makes: a pawn reaching the last
// rank becomes a queen and nothing else.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "referee.h"

namespace quill::oracle {
namespace {

struct PerftCase {
    const char* name;
    const char* fen;
    int depth;
    std::uint64_t leaves;
};

void PrintTo(const PerftCase& c, std::ostream* os) { *os << c.name << " depth " << c.depth; }

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr const char* ROOK_ENDGAME = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";
constexpr const char* PROMOTIONS = "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1";
constexpr const char* PROMOTIONS_MIRRORED = "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1";
constexpr const char* DISCOVERED = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8";

class PublishedCounts : public ::testing::TestWithParam<PerftCase> {};

TEST_P(PublishedCounts, AllPromotions) {
    const PerftCase& c = GetParam();
    const auto p = Position::from_fen(c.fen);
    ASSERT_TRUE(p) << c.fen;
    EXPECT_EQ(p->perft(c.depth, Promotions::All), c.leaves) << c.fen;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PublishedCounts,
    ::testing::Values(PerftCase{"Start", START, 1, 20}, PerftCase{"Start", START, 2, 400},
                      PerftCase{"Start", START, 3, 8902}, PerftCase{"Start", START, 4, 197281},
                      PerftCase{"Kiwipete", KIWIPETE, 1, 48}, PerftCase{"Kiwipete", KIWIPETE, 2, 2039},
                      PerftCase{"Kiwipete", KIWIPETE, 3, 97862},
                      PerftCase{"RookEndgame", ROOK_ENDGAME, 1, 14}, PerftCase{"RookEndgame", ROOK_ENDGAME, 2, 191},
                      PerftCase{"RookEndgame", ROOK_ENDGAME, 3, 2812},
                      PerftCase{"RookEndgame", ROOK_ENDGAME, 4, 43238},
                      PerftCase{"Promotions", PROMOTIONS, 1, 6}, PerftCase{"Promotions", PROMOTIONS, 2, 264},
                      PerftCase{"Promotions", PROMOTIONS, 3, 9467},
                      PerftCase{"PromotionsMirrored", PROMOTIONS_MIRRORED, 1, 6},
                      PerftCase{"PromotionsMirrored", PROMOTIONS_MIRRORED, 2, 264},
                      PerftCase{"PromotionsMirrored", PROMOTIONS_MIRRORED, 3, 9467},
                      PerftCase{"Discovered", DISCOVERED, 1, 44}, PerftCase{"Discovered", DISCOVERED, 2, 1486},
                      PerftCase{"Discovered", DISCOVERED, 3, 62379}),
    [](const auto& info) { return std::string(info.param.name) + std::to_string(info.param.depth); });

// Where no pawn can reach the last rank within the depth, the two modes count alike; where
// one can, the game mode has one move per promotion instead of four.
TEST(GameMode, CountsDifferOnlyByUnderPromotions) {
    for (const char* fen : {START, ROOK_ENDGAME}) {
        const auto p = Position::from_fen(fen);
        EXPECT_EQ(p->perft(3, Promotions::QueenOnly), p->perft(3, Promotions::All)) << fen;
    }
    // The pawn on a7 promotes (four pieces, or only the queen) and the king on h1 has g1, g2
    // and h2; the black king on a1 is too far to matter.
    const auto lone_pawn = Position::from_fen("8/P7/8/8/8/8/8/k6K w - - 0 1");
    EXPECT_EQ(lone_pawn->perft(1, Promotions::All), 7u);
    EXPECT_EQ(lone_pawn->perft(1, Promotions::QueenOnly), 4u);
}

}  // namespace
}  // namespace quill::oracle
