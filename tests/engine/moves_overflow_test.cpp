// Positions the slot arrays were not sized for (more pieces of a kind than slots) and
// positions without a king: every walk must end, stay within its arrays and give sane
// counts. The sanitizer build runs these as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/perft.h"
#include "moves_test_support.h"

namespace quill::test {
namespace {

struct OddCase {
    const char* name;
    const char* fen;
};

void PrintTo(const OddCase& oc, std::ostream* os) { *os << oc.name << " (" << oc.fen << ")"; }

class OddPositions : public ::testing::TestWithParam<OddCase> {};

// Walks every candidate of both lists with the maker, every move of every iterator, and two
// plies of the legal walk, for the position and its reflection. Nothing may crash, the walks
// must end, and every ordinal an iterator reports must lie within the enumeration.
TEST_P(OddPositions, EveryWalkEnds) {
    for (const std::string& fen : {std::string(GetParam().fen), mirror_fen(GetParam().fen)}) {
        const SetupPosition p = setup(fen);
        const Color c = p.side_to_move;
        const auto full = ordinal_list(p.record, c);
        const auto captures = ordinal_list(p.record, c, MoveList::Captures);
        EXPECT_GT(full.size(), 0u) << fen;
        EXPECT_LE(captures.size(), full.size()) << fen;
        for (const Walk walk : {Walk::Plain, Walk::Legal, Walk::Captures}) {
            const auto walked = iterator_list(p.record, c, walk);
            EXPECT_LE(walked.size(), full.size()) << fen;
        }
        EXPECT_EQ(iterator_list(p.record, c, Walk::Plain).size(),
                  std::min<std::size_t>(full.size(), MAX_MOVE_ORDINAL)) << fen;
        const std::uint64_t one = perft(p.record, c, 1), two = perft(p.record, c, 2);
        EXPECT_LE(one, full.size()) << fen;
        EXPECT_GT(two, 0u) << fen;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, OddPositions,
    ::testing::Values(OddCase{"FourQueensOnOneRank", "4k3/8/8/8/Q1Q1Q1Q1/8/8/4K3 w - -"},
                      OddCase{"FourQueensOnFourRanks", "4k3/Q7/2Q5/4Q3/6Q1/8/8/4K3 w - -"},
                      OddCase{"NinePawns", "4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -"},
                      OddCase{"TenPawnsAndFourKnights", "4k3/8/8/8/NN6/PP6/PPPPPPPP/NN2K3 w - -"},
                      OddCase{"TwoKings", "4k3/8/8/8/8/8/8/K3K3 w - -"},
                      OddCase{"NoOwnKing", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR w kq -"},
                      OddCase{"NoEnemyKing", "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ -"},
                      OddCase{"NoKingsAtAll", "8/8/3q4/8/8/3Q4/8/8 w - -"},
                      OddCase{"PawnsOnTheirLastRank", "P3k2p/8/8/8/8/8/8/p3K2P w - -"},
                      OddCase{"RightsWithoutPieces", "4k3/8/8/8/8/8/8/4K3 w KQkq e6"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a king nothing is illegal for that side: every candidate is a legal move. White
// without its king has its 20 usual moves and the queen's step to e1.
TEST(OddPositions, NoKingMeansNoMoveIsIllegal) {
    const SetupPosition p = setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR w kq -");
    EXPECT_EQ(iterator_list(p.record, WHITE, Walk::Legal), ordinal_list(p.record, WHITE));
    EXPECT_EQ(perft(p.record, WHITE, 1), 21u);
    // And its opponent's replies: 20 each, as from the start position.
    EXPECT_EQ(perft(p.record, WHITE, 2), 21u * 20u);
}

// A fourth queen shares the third queen's slot: the enumeration still ends, and no move
// takes more than the slot it was made from.
TEST(OddPositions, FourthQueenSharesTheLastSlot) {
    SetupPosition p = setup("4k3/8/8/8/Q1Q1Q1Q1/8/8/4K3 w - -");
    const ConstSlotView s = slots(std::as_const(p.record), WHITE, QUEEN);
    EXPECT_EQ(s[4], square_board("a4")) << "the a4 queen replaced c4 in the last slot";
    const auto names = ordinal_list(p.record, WHITE);
    for (const std::string& n : names) EXPECT_EQ(n.size(), 4u) << n;
}

}  // namespace
}  // namespace quill::test
