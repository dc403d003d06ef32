// engine-a's capture search skips a capture when a bound proves that the position after it
// cannot stand pat above alpha. The bound, worked out without making the capture, must never
// be below the evaluation of the position the capture leads to.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "builds/profiles.h"
#include "engine/search_impl.h"
#include "forecast_test_support.h"
#include "support/random_position.h"
#include "support/search_context.h"

namespace quill {
namespace {

// The placement part of a score is the sum of the pieces' own values on their squares, the
// viewing side's less the other side's.
TEST(PlacementPart, IsTheScoreLessAttackedSquaresAndCheck) {
    std::mt19937 rng(44);
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        PositionRecord r = test::random_pieces(rng, 0.6 + 0.35 * (i % 4) / 3);
        generate_moves(r);
        for (Color view : {WHITE, BLACK}) {
            if (piece_board(r, view, KING).empty()) continue;
            std::int32_t expected = 0;
            for (Color c : {WHITE, BLACK})
                for (int k = 0; k < PIECE_KIND_NB; ++k)
                    for (std::uint64_t b = piece_board(r, c, PieceKind(k)).bits; b; b &= b - 1)
                        expected += (c == view ? 1 : -1) * piece_square_value(c, PieceKind(k), std::countr_zero(b));
            const std::int32_t score = evaluate_position<Evaluation::Standard>(r, view);
            ASSERT_EQ(placement_part(r, view, score), expected) << i;
            ++checked;
        }
    }
    EXPECT_GT(checked, 3000);
}

// The capturer's placement part of a record, summed piece by piece.
std::int32_t placement_of(const PositionRecord& r, Color view) {
    std::int32_t sum = 0;
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            for (std::uint64_t b = piece_board(r, c, PieceKind(k)).bits; b; b &= b - 1)
                sum += (c == view ? 1 : -1) * piece_square_value(c, PieceKind(k), std::countr_zero(b));
    return sum;
}

// The forecast of one made move holds: the placement exactly, the mover's attack map within
// its set, the enemy's holding its set.
void expect_forecast_holds(const test::ForecastCase& c, const detail::MoveForecast& f) {
    EXPECT_EQ(f.placement, placement_of(c.child, c.side)) << c.where();
    EXPECT_EQ(attacks(c.child, c.side).bits & ~f.own_attacks_at_most, 0u) << c.where();
    EXPECT_EQ(f.enemy_attacks_at_least & ~attacks(c.child, ~c.side).bits, 0u) << c.where();
}

// Every capture of random positions, crowded and sparse, kings anywhere, pawns on any rank
// (promotions included): the forecast holds, and so the bound is never below the capturer's
// evaluation after the capture. It is often close too, so that it prunes.
TEST(StandAfterCaptureBound, ForecastHoldsForEveryCapture) {
    int bounded = 0, close = 0;
    test::for_each_random_move<MoveList::Captures>(1606, 4000, [&](const test::ForecastCase& c) {
        const detail::MoveForecast f = detail::forecast_move(c.node, c.side, c.move, c.placement);
        if (!f.known) return;
        expect_forecast_holds(c, f);
        const std::int32_t bound = detail::stand_after_capture_bound(c.node, c.side, c.move, c.placement);
        const std::int32_t after = -evaluate_position<Evaluation::Standard>(c.child, ~c.side);
        EXPECT_LE(after, bound) << c.where();
        ++bounded;
        if (bound - after <= 30) ++close;
    });
    EXPECT_GT(bounded, 20000);
    EXPECT_GT(close, bounded / 50);
}

// Every move of random positions, quiet ones included: the same forecast holds, and with the
// mover's check bonus the bound is never below the mover's own evaluation after the move,
// which is how engine-e and engine-f score a leaf.
TEST(EvaluationAfterMoveBound, ForecastHoldsForEveryMove) {
    int bounded = 0;
    test::for_each_random_move<MoveList::Full>(1609, 3000, [&](const test::ForecastCase& c) {
        const detail::MoveForecast f = detail::forecast_move(c.node, c.side, c.move, c.placement);
        if (!f.known) return;
        expect_forecast_holds(c, f);
        EXPECT_LE(evaluate_position<Evaluation::Standard>(c.child, c.side),
                  detail::evaluation_after_move_bound(c.node, c.side, c.move, c.placement, true))
            << c.where();
        ++bounded;
    });
    EXPECT_GT(bounded, 50000);
}

// Captures whose bound is within a few points of the evaluation after them, and after which
// the enemy has nothing to take back, so that their score is that evaluation: searched with
// alpha just below that score they raise alpha, and must not be skipped.
TEST(StandAfterCaptureBound, CapturesJustAboveAlphaAreSearched) {
    const auto table = std::make_unique<SearchContext<ENGINE_A>>();
    const auto every = std::make_unique<SearchContext<ENGINE_A_EVERY_NODE>>();
    int tight = 0;
    test::for_each_random_move<MoveList::Captures>(1608, 60000, [&](const test::ForecastCase& c) {
        const std::int32_t bound = detail::stand_after_capture_bound(c.node, c.side, c.move, c.placement);
        if (bound == detail::NO_BOUND) return;
        const std::int32_t after = -evaluate_position<Evaluation::Standard>(c.child, ~c.side);
        PositionRecord child = c.child;
        if (bound - after > 12 || !detail::capture_list_empty(child, ~c.side)) return;
        ++tight;
        for (std::int32_t below = 1; below <= 12; ++below) {
            forget_capture_values(*table);
            const std::int32_t alpha = after - below, beta = after + 200;
            EXPECT_EQ(capture_search<ENGINE_A>(*table, ~c.side, alpha, beta, c.node),
                      capture_search<ENGINE_A_EVERY_NODE>(*every, ~c.side, alpha, beta, c.node))
                << c.where() << " alpha " << alpha;
        }
    });
    EXPECT_GT(tight, 10);
}

}  // namespace
}  // namespace quill
