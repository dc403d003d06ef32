// Random positions for the tests of the move forecast: every move of each, made as the search
// makes it, with what the forecast needs.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/search_impl.h"
#include "support/random_position.h"

namespace quill::test {

// One move of a random position: the node, mapped as the search maps it, the side to move
// (which has its king), its placement part, the move and the position after it.
struct ForecastCase {
    int index;
    const PositionRecord& node;
    Color side;
    std::int32_t placement;
    std::int32_t ordinal;
    const Candidate& move;
    const PositionRecord& child;

    std::string where() const {
        return "position " + std::to_string(index) + " side " + std::to_string(side) + " move " +
               std::to_string(ordinal);
    }
};

// Visits every move of list L in `count` random positions, from sparse to crowded, for each
// side that has its king; the full-width search's moves take the mover's en-passant chance
// away, the capture search's do not. Stops after the position of a first failure.
template <MoveList L, typename Visit>
void for_each_random_move(std::uint32_t seed, int count, Visit&& visit) {
    std::mt19937 rng(seed);
    PositionRecord child;
    for (int i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        PositionRecord node = random_pieces(rng, 0.5 + 0.45 * (i % 4) / 3);
        generate_moves(node);
        node.white_move_ordinal = node.black_move_ordinal = 0;
        for (Color side : {WHITE, BLACK}) {
            if (piece_board(node, side, KING).empty()) continue;
            const std::int32_t placement = placement_part(node, side, evaluate_position<Evaluation::Standard>(node, side));
            detail::for_each_move<L>(node, side, [&](std::int32_t ordinal, const Candidate& move) {
                detail::make_child(node, side, move, L == MoveList::Full, child, placement_balance(node));
                visit(ForecastCase{i, node, side, placement, ordinal, move, child});
                return false;
            });
        }
    }
}

}  // namespace quill::test
