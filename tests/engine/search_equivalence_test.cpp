// The engine's search lists each node's moves once and hands children regenerated records;
// the literal search walks every move through the iterators. Both must choose the same
// move with the same score, after visiting the same number of nodes when the capture search
// visits every node; with the value table (engine-a as the program runs it)
// the nodes are fewer, the move and score the same.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "builds/profiles.h"
#include "engine/search_impl.h"
#include "oracles/literal_search.h"
#include "support/position_setup.h"
#include "support/search_context.h"

namespace quill {
namespace {

struct Case {
    const char* fen;
    Color engine;
};

// Endgames and sparse middlegames, with castling, en passant, checks and promotions in
// reach; small enough for the literal search of every profile.
constexpr Case SMALL_CASES[] = {
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", WHITE},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", BLACK},
    {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", WHITE},
    {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", WHITE},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", BLACK},
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", WHITE},
    {"4k3/P7/8/8/8/8/7p/4K3 w - -", WHITE},
    {"4k3/P7/8/8/8/8/7p/4K3 b - -", BLACK},
    {"7k/8/8/8/8/8/8/K6R w - -", WHITE},
    {"8/8/8/4k3/8/8/4q3/4K3 w - -", WHITE},
    {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -", WHITE},
};

// Fuller middlegames, for the profiles whose leaves are quick.
constexpr Case LARGE_CASES[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", WHITE},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", BLACK},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -", WHITE},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", WHITE},
    {"2kr3r/ppp2ppp/2n5/3q4/3P4/2N5/PPP2PPP/R2QR1K1 b - -", BLACK},
};

template <const BuildProfile& P>
void expect_same_search(const Case& c, int depth) {
    const auto setup = position_from_fen(c.fen);
    ASSERT_TRUE(setup.has_value()) << c.fen;

    PositionRecord fast_record = setup->record, literal_record = setup->record;
    SearchOutputs fast_out, literal_out;
    fast_out.excluded_ordinal = literal_out.excluded_ordinal = EXCLUDE_NOTHING;

    const auto context = std::make_unique<SearchContext<P>>();
    std::srand(42);
    const std::int32_t fast_score =
        search_root<P>(*context, depth, -ROOT_WINDOW, ROOT_WINDOW, fast_record, c.engine, fast_out, 0);
    std::srand(42);
    oracle::node_counter = 0;
    const std::int32_t literal_score =
        oracle::search_root<P>(depth, -ROOT_WINDOW, ROOT_WINDOW, literal_record, c.engine, literal_out, 0);

    const std::string where = std::string(P.name) + " " + c.fen;
    EXPECT_EQ(fast_score, literal_score) << where;
    if constexpr (P.capture_method == CaptureMethod::EveryNode) {
        EXPECT_EQ(context->nodes, oracle::node_counter) << where;
    }
    EXPECT_EQ(fast_out.best_ordinal, literal_out.best_ordinal) << where;
    EXPECT_EQ(fast_out.second_ordinal, literal_out.second_ordinal) << where;
    EXPECT_EQ(fast_out.choice_flag, literal_out.choice_flag) << where;
    EXPECT_EQ(fast_out.root_flag, literal_out.root_flag) << where;
    EXPECT_EQ(fast_record, literal_record) << where;
}

TEST(SearchEquivalence, SmallPositionsEveryProfile) {
    for (const Case& c : SMALL_CASES) {
        expect_same_search<ENGINE_A>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_A_EVERY_NODE>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_B>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_C>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_D>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_E>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_F>(c, ROOT_DEPTH);
    }
}

TEST(SearchEquivalence, LargePositionsQuickLeaves) {
    for (const Case& c : LARGE_CASES) {
        expect_same_search<ENGINE_B>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_E>(c, ROOT_DEPTH);
        expect_same_search<ENGINE_F>(c, ROOT_DEPTH);
    }
}

// Below the root the search keeps no bookkeeping; the scores and node counts still agree.
TEST(SearchEquivalence, InnerDepths) {
    for (const Case& c : SMALL_CASES)
        for (int depth = 1; depth <= 4; ++depth) {
            expect_same_search<ENGINE_A>(c, depth);
            expect_same_search<ENGINE_A_EVERY_NODE>(c, depth);
            expect_same_search<ENGINE_E>(c, depth);
        }
}

}  // namespace
}  // namespace quill
