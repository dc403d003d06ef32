// engine-a's capture search skips a capture when a bound proves that the position after it
// cannot stand pat above alpha. The bound, worked out without making the capture, must never
// be below the evaluation of the position the capture leads to.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "builds/profiles.h"
#include "engine/search_impl.h"
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

// Every capture of random positions, crowded and sparse, kings anywhere, pawns on any rank
// (promotions included), made and mapped: the forecast placement is exact, the capturer's
// attack map lies within its forecast set, the enemy's holds its forecast set, and so the
// bound is never below the capturer's evaluation after the capture. It is often close too,
// so that it prunes.
TEST(StandAfterCaptureBound, ForecastHoldsForEveryCapture) {
    std::mt19937 rng(1606);
    int bounded = 0, close = 0;
    for (int i = 0; i < 4000 && !HasFailure(); ++i) {
        PositionRecord node = test::random_pieces(rng, 0.55 + 0.4 * (i % 5) / 4);
        generate_moves(node);
        node.white_move_ordinal = node.black_move_ordinal = 0;
        for (Color side : {WHITE, BLACK}) {
            if (piece_board(node, side, KING).empty()) continue;
            const std::int32_t stand = evaluate_position<Evaluation::Standard>(node, side);
            const std::int32_t placement = placement_part(node, side, stand);
            PositionRecord child;
            detail::for_each_move<MoveList::Captures>(node, side, [&](std::int32_t ordinal, const Candidate& c) {
                const detail::MoveForecast f = detail::forecast_move(node, side, c, placement);
                if (!f.known) return false;
                detail::make_child(node, side, c, false, child);
                const std::string where = "position " + std::to_string(i) + " side " + std::to_string(side) +
                                          " capture " + std::to_string(ordinal);
                EXPECT_EQ(f.placement, placement_of(child, side)) << where;
                EXPECT_EQ(attacks(child, side).bits & ~f.own_attacks_at_most, 0u) << where;
                EXPECT_EQ(f.enemy_attacks_at_least & ~attacks(child, ~side).bits, 0u) << where;
                const std::int32_t bound = detail::stand_after_capture_bound(node, side, c, placement);
                const std::int32_t after = -evaluate_position<Evaluation::Standard>(child, ~side);
                EXPECT_LE(after, bound) << where;
                ++bounded;
                if (bound - after <= 30) ++close;
                return false;
            });
        }
    }
    EXPECT_GT(bounded, 20000);
    EXPECT_GT(close, bounded / 50);
}

// Every move of random positions, quiet ones included, made and mapped: the same forecast
// holds, and with the mover's check bonus the bound is never below the mover's own
// evaluation after the move, which is how engine-e and engine-f score a leaf.
TEST(EvaluationAfterMoveBound, ForecastHoldsForEveryMove) {
    std::mt19937 rng(1609);
    int bounded = 0;
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        PositionRecord node = test::random_pieces(rng, 0.55 + 0.4 * (i % 5) / 4);
        generate_moves(node);
        node.white_move_ordinal = node.black_move_ordinal = 0;
        for (Color side : {WHITE, BLACK}) {
            if (piece_board(node, side, KING).empty()) continue;
            const std::int32_t placement =
                placement_part(node, side, evaluate_position<Evaluation::Standard>(node, side));
            PositionRecord child;
            detail::for_each_move<MoveList::Full>(node, side, [&](std::int32_t ordinal, const Candidate& c) {
                const detail::MoveForecast f = detail::forecast_move(node, side, c, placement);
                if (!f.known) return false;
                detail::make_child(node, side, c, true, child);
                const std::string where = "position " + std::to_string(i) + " side " + std::to_string(side) +
                                          " move " + std::to_string(ordinal);
                EXPECT_EQ(f.placement, placement_of(child, side)) << where;
                EXPECT_EQ(attacks(child, side).bits & ~f.own_attacks_at_most, 0u) << where;
                EXPECT_EQ(f.enemy_attacks_at_least & ~attacks(child, ~side).bits, 0u) << where;
                EXPECT_LE(evaluate_position<Evaluation::Standard>(child, side),
                          detail::evaluation_after_move_bound(node, side, c, placement, true))
                    << where;
                ++bounded;
                return false;
            });
        }
    }
    EXPECT_GT(bounded, 50000);
}

// Captures whose bound is within a few points of the evaluation after them, and after which
// the enemy has nothing to take back, so that their score is that evaluation: searched with
// alpha just below that score they raise alpha, and must not be skipped.
TEST(StandAfterCaptureBound, CapturesJustAboveAlphaAreSearched) {
    const auto table = std::make_unique<SearchContext<ENGINE_A>>();
    const auto every = std::make_unique<SearchContext<ENGINE_A_EVERY_NODE>>();
    std::mt19937 rng(1608);
    int tight = 0;
    for (int i = 0; i < 40000 && !HasFailure(); ++i) {
        PositionRecord node = test::random_pieces(rng, 0.5 + 0.3 * (i % 4) / 3);
        generate_moves(node);
        node.white_move_ordinal = node.black_move_ordinal = 0;
        for (Color side : {WHITE, BLACK}) {
            if (piece_board(node, side, KING).empty()) continue;
            const std::int32_t placement =
                placement_part(node, side, evaluate_position<Evaluation::Standard>(node, side));
            PositionRecord child;
            detail::for_each_move<MoveList::Captures>(node, side, [&](std::int32_t, const Candidate& c) {
                const std::int32_t bound = detail::stand_after_capture_bound(node, side, c, placement);
                if (bound == detail::NO_BOUND) return false;
                detail::make_child(node, side, c, false, child);
                const std::int32_t after = -evaluate_position<Evaluation::Standard>(child, ~side);
                if (bound - after > 12 || !detail::capture_list_empty(child, ~side)) return false;
                ++tight;
                for (std::int32_t below = 1; below <= 12; ++below) {
                    forget_capture_values(*table);
                    const std::int32_t alpha = after - below, beta = after + 200;
                    EXPECT_EQ(capture_search<ENGINE_A>(*table, ~side, alpha, beta, node),
                              capture_search<ENGINE_A_EVERY_NODE>(*every, ~side, alpha, beta, node))
                        << "position " << i << " alpha " << alpha;
                }
                return false;
            });
        }
    }
    EXPECT_GT(tight, 20);
}

}  // namespace
}  // namespace quill
