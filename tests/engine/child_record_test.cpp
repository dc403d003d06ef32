// The search builds a child's record light: occupancy and attack maps by the paired slider
// fills, and the placement balance carried from its parent's instead of summed again. Over
// every move of random positions and random games (castling, en passant, promotions, captures
// of every kind) the child's maps must equal those of a full regeneration, the carried
// balance the one summed afresh, and the evaluation from it the evaluation from scratch, for
// both views.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search_impl.h"
#include "forecast_test_support.h"
#include "support/test_support.h"

namespace quill {
namespace {

// Checks one made move: the child's occupancy and maps, the balance make_child returns, and
// both evaluations of the child from it, the noisy one with the same draws.
void expect_carried(const PositionRecord& node, std::int32_t node_balance, const PositionRecord& child,
                    std::int32_t child_balance, const std::string& where) {
    PositionRecord rebuilt = child;
    generate_moves(rebuilt);
    ASSERT_EQ(child.white_attacks, rebuilt.white_attacks) << where;
    ASSERT_EQ(child.black_attacks, rebuilt.black_attacks) << where;
    ASSERT_EQ(child.white_pieces, rebuilt.white_pieces) << where;
    ASSERT_EQ(child.black_pieces, rebuilt.black_pieces) << where;
    ASSERT_EQ(child_balance, placement_balance(child)) << where;
    EXPECT_EQ(child_balance - node_balance, placement_balance_change(node, child)) << where;
    for (const Color view : {WHITE, BLACK}) {
        EXPECT_EQ(evaluate_with_balance<Evaluation::Standard>(child, view, child_balance),
                  evaluate_position<Evaluation::Standard>(child, view))
            << where << " view " << view;
        std::srand(static_cast<unsigned>(child_balance));
        const std::int32_t carried = evaluate_with_balance<Evaluation::Noisy>(child, view, child_balance);
        std::srand(static_cast<unsigned>(child_balance));
        EXPECT_EQ(carried, evaluate_position<Evaluation::Noisy>(child, view)) << where << " view " << view;
    }
}

// Every move of both lists in random positions, sparse to crowded, made as the search makes it.
TEST(ChildRecord, EveryMoveOfRandomPositions) {
    int moves = 0;
    const auto visit = [&](const test::ForecastCase& c) {
        PositionRecord child;
        const std::int32_t balance = placement_balance(c.node);
        const std::int32_t carried = detail::make_child(c.node, c.side, c.move, true, child, balance);
        expect_carried(c.node, balance, child, carried, c.where());
        ++moves;
    };
    test::for_each_random_move<MoveList::Full>(1616, 300, visit);
    test::for_each_random_move<MoveList::Captures>(1617, 300, visit);
    EXPECT_GT(moves, 10000);
}

// Random games from positions with castling rights, en-passant chances and pawns about to
// promote: at every position, each move of both sides is checked, then a random move of the
// side to move is played, its balance carried along the whole game.
TEST(ChildRecord, CarriedThroughRandomGames) {
    constexpr std::string_view STARTS[] = {
        START_FEN,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/1P4P1/8/2pP4/4Pp2/8/1p4p1/R3K2R w KQkq c6 0 1",
        "4k3/1P3p2/8/3pP3/8/8/2p3P1/4K3 w - d6 0 1",
    };
    std::mt19937 rng(1618);
    int castlings = 0, en_passants = 0, promotions = 0, checked = 0;
    for (int game = 0; game < 120 && !HasFailure(); ++game) {
        PositionRecord node = test::record_from(STARTS[game % std::size(STARTS)]);
        generate_moves(node);
        node.white_move_ordinal = node.black_move_ordinal = 0;
        std::int32_t balance = placement_balance(node);
        Color to_move = game % 2 == 0 ? WHITE : BLACK;
        for (int ply = 0; ply < 60 && !HasFailure(); ++ply) {
            std::vector<Candidate> own;
            PositionRecord child;
            for (const Color side : {WHITE, BLACK}) {
                if (piece_board(node, side, KING).empty()) continue;
                detail::for_each_move<MoveList::Full>(node, side, [&](std::int32_t ordinal, const Candidate& move) {
                    const std::int32_t carried = detail::make_child(node, side, move, true, child, balance);
                    expect_carried(node, balance, child, carried,
                                   "game " + std::to_string(game) + " ply " + std::to_string(ply) + " side " +
                                       std::to_string(side) + " move " + std::to_string(ordinal));
                    castlings += move.type == Candidate::SHORT_CASTLING || move.type == Candidate::LONG_CASTLING;
                    en_passants += move.type == Candidate::EN_PASSANT;
                    promotions += move.type == Candidate::PIECE_MOVE && move.kind == PAWN &&
                                  relative_rank(side, move.square / 8) == 7;
                    ++checked;
                    if (side == to_move) own.push_back(move);
                    return false;
                });
            }
            if (own.empty()) break;
            const Candidate chosen = own[std::uniform_int_distribution<std::size_t>(0, own.size() - 1)(rng)];
            balance = detail::make_child(node, to_move, chosen, true, child, balance);
            node = child;
            to_move = ~to_move;
            if (piece_board(node, to_move, KING).empty()) break;
        }
    }
    EXPECT_GT(checked, 50000);
    EXPECT_GT(castlings, 100);
    EXPECT_GT(en_passants, 20);
    EXPECT_GT(promotions, 100);
}

}  // namespace
}  // namespace quill
