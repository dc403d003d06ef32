// The table-driven passes must give exactly the boards of the literal step-by-step passes,
// on ordinary positions and on odd ones (more pieces than slots, pawns on the back ranks,
// several kings or none).
#include <gtest/gtest.h>

#include <random>

#include "board/attack_maps.h"
#include "oracles/attack_maps_by_steps.h"
#include "support/random_position.h"

namespace quill {
namespace {

// A random position whose castling states and ordinals hold values the passes must not touch.
PositionRecord random_position(std::mt19937& rng, double empty_share) {
    PositionRecord r = test::random_pieces(rng, empty_share);
    r.white_castling = {1, 2, 3};
    r.black_castling = {4, 5, 6};
    r.white_move_ordinal = 7;
    r.black_move_ordinal = 8;
    return r;
}

class TablePasses : public ::testing::TestWithParam<double> {};

TEST_P(TablePasses, AttackPassEqualsStepwisePass) {
    std::mt19937 rng(1234);
    for (int i = 0; i < 2000; ++i) {
        PositionRecord fast = random_position(rng, GetParam());
        PositionRecord literal = fast;
        build_attack_maps(fast);
        build_attack_maps_by_steps(literal);
        ASSERT_EQ(fast, literal) << "position " << i;
    }
}

TEST_P(TablePasses, GenerationPassEqualsStepwisePass) {
    std::mt19937 rng(99);
    for (int i = 0; i < 2000; ++i) {
        PositionRecord fast = random_position(rng, GetParam());
        PositionRecord literal = fast;
        build_target_maps(fast);
        build_target_maps_by_steps(literal);
        ASSERT_EQ(fast, literal) << "position " << i;
    }
}

// generate_moves drops own squares while filling; the literal way drops them afterwards.
TEST_P(TablePasses, GenerateMovesEqualsStepwisePassThenRemoval) {
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        PositionRecord fast = random_position(rng, GetParam());
        PositionRecord literal = fast;
        generate_moves(fast);
        build_target_maps_by_steps(literal);
        for (Color c : {WHITE, BLACK})
            for (int k = 0; k < PIECE_KIND_NB; ++k) {
                SlotView s = slots(literal, c, PieceKind(k));
                for (int b = 1; b < s.size; b += 2) s[b] &= ~pieces(literal, c);
            }
        ASSERT_EQ(fast, literal) << "position " << i;
    }
}

// From crowded boards (overflowing slots everywhere) to nearly empty ones.
INSTANTIATE_TEST_SUITE_P(Densities, TablePasses, ::testing::Values(0.0, 0.3, 0.6, 0.85, 0.95),
                         [](const auto& info) {
                             return "Percent" + std::to_string(static_cast<int>(info.param * 100 + 0.5));
                         });

}  // namespace
}  // namespace quill
