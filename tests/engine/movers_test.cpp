// The search reads a side's movers straight from the piece boards; they must be the movers
// the slots of a regenerated record hold, whenever no kind has more pieces than slots.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "engine/moves_impl.h"
#include "support/random_position.h"

namespace quill {
namespace {

using test::random_pieces;

// A record as the search hands it down (occupancy and attack maps only) and the same record
// regenerated, whose slots hold the movers of reference.
struct LightAndRegenerated {
    PositionRecord light, regenerated;
};

LightAndRegenerated light_and_regenerated(const PositionRecord& r) {
    LightAndRegenerated both{r, r};
    generate_attack_maps(both.light);
    generate_moves(both.regenerated);
    return both;
}

template <Color C>
void expect_same_movers(const PositionRecord& position, int& compared) {
    const auto [light, r] = light_and_regenerated(position);
    Movers direct, from_slots;
    movers_from_slots<C>(r, from_slots);
    if (!movers_from_boards<C>(light, direct)) return;
    ++compared;
    // An absent king still has its (empty) slot; the boards list no mover for it.
    if (from_slots.count == direct.count + 1) {
        ASSERT_EQ(from_slots.list[from_slots.count - 1].kind, KING);
        ASSERT_EQ(from_slots.list[from_slots.count - 1].targets, 0u);
        --from_slots.count;
    }
    ASSERT_EQ(direct.count, from_slots.count);
    for (int i = 0; i < direct.count; ++i) {
        EXPECT_EQ(direct.list[i].kind, from_slots.list[i].kind) << i;
        EXPECT_EQ(direct.list[i].from, from_slots.list[i].from) << i;
        EXPECT_EQ(direct.list[i].targets, from_slots.list[i].targets) << i;
    }
    EXPECT_EQ(light.white_attacks, r.white_attacks);
    EXPECT_EQ(light.black_attacks, r.black_attacks);
    EXPECT_EQ(light.white_pieces, r.white_pieces);
    EXPECT_EQ(light.black_pieces, r.black_pieces);
}

class MoversFromBoards : public ::testing::TestWithParam<double> {};

TEST_P(MoversFromBoards, EqualTheSlotsOfARegeneratedRecord) {
    std::mt19937 rng(2024);
    int compared = 0;
    for (int i = 0; i < 3000 && !HasFatalFailure(); ++i) {
        const PositionRecord r = random_pieces(rng, GetParam());
        expect_same_movers<WHITE>(r, compared);
        expect_same_movers<BLACK>(r, compared);
    }
    EXPECT_GT(compared, 100);  // the comparison must actually happen
}

// The capture list walked over the capture movers meets the same candidates, in the same
// order, as over the slots of a regenerated record.
template <Color C>
void expect_same_captures(const PositionRecord& position, int& compared) {
    const auto [light, r] = light_and_regenerated(position);
    Movers capturing, from_slots;
    movers_from_slots<C>(r, from_slots);
    if (!capture_movers_from_boards<C>(light, capturing)) return;
    ++compared;
    const auto listed = [](const PositionRecord& record, const Movers& movers) {
        std::vector<std::pair<std::int32_t, Candidate>> list;
        walk_movers<C, MoveList::Captures>(record, movers, 1, MAX_MOVE_ORDINAL,
                                           [&](std::int32_t n, const Candidate& c) {
                                               list.emplace_back(n, c);
                                               return false;
                                           });
        return list;
    };
    const auto expected = listed(r, from_slots), actual = listed(light, capturing);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].first, expected[i].first) << i;
        EXPECT_EQ(actual[i].second.type, expected[i].second.type) << i;
        EXPECT_EQ(actual[i].second.kind, expected[i].second.kind) << i;
        EXPECT_EQ(actual[i].second.square, expected[i].second.square) << i;
        EXPECT_EQ(actual[i].second.from, expected[i].second.from) << i;
    }
}

TEST_P(MoversFromBoards, CaptureMoversListTheSameCaptures) {
    std::mt19937 rng(306);
    int compared = 0;
    for (int i = 0; i < 3000 && !HasFatalFailure(); ++i) {
        const PositionRecord r = random_pieces(rng, GetParam());
        expect_same_captures<WHITE>(r, compared);
        expect_same_captures<BLACK>(r, compared);
    }
    EXPECT_GT(compared, 100);
}

// Crowded boards refuse (shared slots); sparse ones are compared.
INSTANTIATE_TEST_SUITE_P(Densities, MoversFromBoards, ::testing::Values(0.6, 0.75, 0.85, 0.95),
                         [](const auto& info) {
                             return "Percent" + std::to_string(static_cast<int>(info.param * 100 + 0.5));
                         });

TEST(MoversFromBoards, RefuseASharedSlot) {
    PositionRecord r;
    r.white_queens.bits = 0xF;  // four queens: the fourth shares the last slot
    r.white_king = square_board("e1");
    generate_attack_maps(r);
    Movers m;
    EXPECT_FALSE(movers_from_boards<WHITE>(r, m));
}

}  // namespace
}  // namespace quill
