// engine-e and engine-f count, but do not build, a leaf whose score is proven to be at most
// alpha. Their searches from random positions, under windows of every kind, must return the
// same score, outputs and node count as the literal search, which builds every leaf.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "builds/profiles.h"
#include "engine/search_impl.h"
#include "oracles/literal_search.h"
#include "forecast_test_support.h"
#include "support/random_position.h"

namespace quill {
namespace {

class LeafSkip : public ::testing::TestWithParam<int> {};

TEST_P(LeafSkip, EngineEMatchesTheLiteralSearch) {
    const int depth = GetParam();
    const auto context = std::make_unique<SearchContext<ENGINE_E>>();
    std::mt19937 rng(1610 + depth);
    std::uniform_int_distribution<int> offset(-120, 120);
    const int positions = depth == 2 ? 2000 : 300;
    for (int i = 0; i < positions && !HasFailure(); ++i) {
        const PositionRecord r = test::random_pieces(rng, 0.62 + 0.3 * (i % 4) / 3);
        const Color engine = i % 2 == 0 ? WHITE : BLACK;
        PositionRecord probe = r;
        SearchOutputs probe_out;
        probe_out.excluded_ordinal = EXCLUDE_NOTHING;
        const std::int32_t whole = oracle::search_root<ENGINE_E>(depth, -ROOT_WINDOW, ROOT_WINDOW, probe, engine, probe_out, 0);
        const std::int32_t centre = whole + offset(rng);
        const std::pair<std::int32_t, std::int32_t> windows[] = {
            {-ROOT_WINDOW, ROOT_WINDOW}, {whole - 1, whole + 1}, {centre, centre + 1},
            {centre - 30, centre + 30},  {whole - 10, whole},     {whole, whole + 10},
        };
        for (const auto& [alpha, beta] : windows) {
            PositionRecord fast = r, literal = r;
            SearchOutputs fast_out, literal_out;
            fast_out.excluded_ordinal = literal_out.excluded_ordinal = EXCLUDE_NOTHING;
            context->nodes = 0;
            oracle::node_counter = 0;
            const std::int32_t a = search_root<ENGINE_E>(*context, depth, alpha, beta, fast, engine, fast_out, 0);
            const std::int32_t b = oracle::search_root<ENGINE_E>(depth, alpha, beta, literal, engine, literal_out, 0);
            const std::string where = "position " + std::to_string(i) + " window " + std::to_string(alpha) + ".." +
                                      std::to_string(beta);
            ASSERT_EQ(a, b) << where;
            EXPECT_EQ(context->nodes, oracle::node_counter) << where;
            EXPECT_EQ(fast_out.best_ordinal, literal_out.best_ordinal) << where;
            EXPECT_EQ(fast_out.choice_flag, literal_out.choice_flag) << where;
            EXPECT_TRUE(fast == literal) << where;
        }
    }
}

// Moves whose bound is within a few points of their leaf score, searched at depth 2 (the
// node above the leaves, moved by the engine's opponent) with alpha just below that score:
// where such a move is the best one, skipping it would change the result.
TEST(LeafSkipNearAlpha, MovesJustAboveAlphaAreBuilt) {
    const auto context = std::make_unique<SearchContext<ENGINE_E>>();
    int tight = 0;
    test::for_each_random_move<MoveList::Full>(1611, 3000, [&](const test::ForecastCase& c) {
        const std::int32_t bound = detail::evaluation_after_move_bound(c.node, c.side, c.move, c.placement, true);
        if (bound == detail::NO_BOUND) return;
        const std::int32_t after = evaluate_position<Evaluation::Standard>(c.child, c.side);
        if (bound - after > 12) return;
        ++tight;
        for (std::int32_t below = 1; below <= 12; ++below) {
            PositionRecord fast = c.node, literal = c.node;
            SearchOutputs fast_out, literal_out;
            fast_out.excluded_ordinal = literal_out.excluded_ordinal = EXCLUDE_NOTHING;
            const std::int32_t alpha = after - below, beta = after + 1;
            EXPECT_EQ(search_root<ENGINE_E>(*context, 2, alpha, beta, fast, ~c.side, fast_out, 0),
                      oracle::search_root<ENGINE_E>(2, alpha, beta, literal, ~c.side, literal_out, 0))
                << c.where() << " alpha " << alpha;
        }
    });
    EXPECT_GT(tight, 20);
}

INSTANTIATE_TEST_SUITE_P(Depths, LeafSkip, ::testing::Values(2, 3),
                         [](const auto& info) { return "Depth" + std::to_string(info.param); });

}  // namespace
}  // namespace quill
