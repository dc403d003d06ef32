// engine-a runs the capture search at a leaf in the leaf's own alpha-beta window where that
// is proven to change nothing above it. Whole searches from random positions, at every depth
// and under narrow windows too, must return the same score and outputs as the node-by-node
// form, which always hands its leaves the whole capture window.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "builds/profiles.h"
#include "engine/search_impl.h"
#include "support/search_context.h"

namespace quill {
namespace {

// Both kings, and up to `extra` more pieces of each colour on free squares, pawns off the
// back ranks, no castling: small enough for the node-by-node search at depth 5, crowded
// enough for captures, recaptures and checks at the leaves.
PositionRecord sparse_position(std::mt19937& rng, int extra) {
    std::uniform_int_distribution<int> square(0, 63), kind(0, PIECE_KIND_NB - 1), count(0, extra);
    PositionRecord r;
    std::uint64_t occupied = 0;
    const auto place = [&](Color c, PieceKind k) {
        for (;;) {
            const int sq = square(rng);
            const std::uint64_t b = std::uint64_t{1} << sq;
            if ((occupied & b) || (k == PAWN && (sq < 8 || sq >= 56))) continue;
            occupied |= b;
            piece_board(r, c, k).bits |= b;
            return;
        }
    };
    for (Color c : {WHITE, BLACK}) {
        place(c, KING);
        for (int n = count(rng); n > 0; --n) {
            const PieceKind k = PieceKind(kind(rng));
            place(c, k == KING ? QUEEN : k);
        }
    }
    return r;
}

struct Searched {
    std::int32_t score;
    SearchOutputs out;
    PositionRecord record;
};

template <const BuildProfile& P>
Searched search(SearchContext<P>& context, const PositionRecord& from, Color engine, int depth, std::int32_t alpha,
                std::int32_t beta, int best_recorded) {
    Searched s{0, {}, from};
    s.out.excluded_ordinal = EXCLUDE_NOTHING;
    s.score = search_root<P>(context, depth, alpha, beta, s.record, engine, s.out, best_recorded);
    return s;
}

class LeafWindow : public ::testing::TestWithParam<int> {};

// At depth 5 the search as the game loop calls it, and then with windows of every width
// (a point window, windows around and away from the score) and with a move already recorded;
// at depths 3 and 4 the same, where the top node is not the root and returns its score to
// whoever called it.
TEST_P(LeafWindow, SearchesMatchTheNodeByNodeForm) {
    const int depth = GetParam();
    const auto table = std::make_unique<SearchContext<ENGINE_A>>();
    const auto every = std::make_unique<SearchContext<ENGINE_A_EVERY_NODE>>();
    std::mt19937 rng(1600 + depth);
    std::uniform_int_distribution<int> offset(-150, 150);
    const int positions = depth == ROOT_DEPTH ? 60 : 120;
    for (int i = 0; i < positions && !HasFailure(); ++i) {
        const PositionRecord r = sparse_position(rng, depth == ROOT_DEPTH ? 4 : 6);
        const Color engine = i % 2 == 0 ? WHITE : BLACK;
        const Searched whole = search<ENGINE_A_EVERY_NODE>(*every, r, engine, depth, -ROOT_WINDOW, ROOT_WINDOW, 0);
        const std::int32_t centre = whole.score + offset(rng);
        const std::pair<std::int32_t, std::int32_t> windows[] = {
            {-ROOT_WINDOW, ROOT_WINDOW},  {whole.score - 1, whole.score + 1}, {centre, centre + 1},
            {centre - 40, centre + 40},   {whole.score + 5, whole.score + 200}, {whole.score - 200, whole.score - 5},
        };
        for (const auto& [alpha, beta] : windows)
            for (int best_recorded : {0, 1}) {
                const Searched a = search<ENGINE_A>(*table, r, engine, depth, alpha, beta, best_recorded);
                const Searched b = search<ENGINE_A_EVERY_NODE>(*every, r, engine, depth, alpha, beta, best_recorded);
                const std::string where = "position " + std::to_string(i) + " window " + std::to_string(alpha) +
                                          ".." + std::to_string(beta) + " recorded " + std::to_string(best_recorded);
                ASSERT_EQ(a.score, b.score) << where;
                EXPECT_EQ(a.out.best_ordinal, b.out.best_ordinal) << where;
                EXPECT_EQ(a.out.second_ordinal, b.out.second_ordinal) << where;
                EXPECT_EQ(a.out.choice_flag, b.out.choice_flag) << where;
                EXPECT_EQ(a.out.root_flag, b.out.root_flag) << where;
                EXPECT_TRUE(a.record == b.record) << where;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, LeafWindow, ::testing::Values(2, 3, 4, ROOT_DEPTH),
                         [](const auto& info) { return "Depth" + std::to_string(info.param); });

}  // namespace
}  // namespace quill
