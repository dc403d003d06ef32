// engine-a remembers proven capture-search values and tries the best captures first. Whatever the table holds and whatever the window, the capture search must return
// exactly what the node-by-node walk returns, and the root must choose the same move.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include <random>
#include <string>
#include <vector>

#include "support/position_setup.h"
#include "support/test_support.h"
#include "builds/profiles.h"
#include "engine/capture_values.h"
#include "engine/search_impl.h"
#include "support/search_context.h"

namespace quill {
namespace {

// ---------------------------------------------------------------------------------------
// The table itself.

using test::record_from;

TEST(CapturePositionKey, TellsApartEverythingTheValueDependsOn) {
    const PositionRecord start = record_from("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    const CapturePositionKey key = CaptureValueTable::key_of(start, WHITE);
    EXPECT_EQ(key, CaptureValueTable::key_of(start, WHITE));
    EXPECT_NE(key, CaptureValueTable::key_of(start, BLACK));

    // Every piece board, and every byte of both castling states, counts.
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) {
            PositionRecord moved = start;
            piece_board(moved, c, PieceKind(k)).bits ^= std::uint64_t{1} << 35;
            EXPECT_NE(CaptureValueTable::key_of(moved, WHITE), key) << c << ' ' << k;
        }
    for (Color c : {WHITE, BLACK})
        for (int byte = 0; byte < 3; ++byte) {
            PositionRecord changed = start;
            castling(changed, c)[byte] ^= 0x10;
            EXPECT_NE(CaptureValueTable::key_of(changed, WHITE), key) << c << ' ' << byte;
        }
}

// Whether castling is possible right now is worked out afresh before a side's moves are
// listed, so those two bits are no part of the key; the rights behind them are.
TEST(CapturePositionKey, LeavesOutOnlyWhatTheSearchWorksOutAgain) {
    const PositionRecord p = record_from("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    const CapturePositionKey key = CaptureValueTable::key_of(p, WHITE);
    for (Color c : {WHITE, BLACK})
        for (const std::uint8_t bit : {CASTLE_SHORT_NOW, CASTLE_LONG_NOW, CASTLE_KING_RIGHT, CASTLE_SHORT_ROOK,
                                       CASTLE_LONG_ROOK}) {
            PositionRecord changed = p;
            castling(changed, c)[CASTLE_FLAGS_BYTE] ^= bit;
            const bool derived = bit == CASTLE_SHORT_NOW || bit == CASTLE_LONG_NOW;
            EXPECT_EQ(CaptureValueTable::key_of(changed, WHITE) == key, derived) << c << ' ' << int{bit};
        }
}

TEST(CaptureValueTable, KeepsTheTighterBoundsOfOnePosition) {
    static CaptureValueTable table;  // static storage: the table is several megabytes
    table.clear();
    const PositionRecord p = record_from("4k3/8/8/3q4/4P3/8/8/4K3 w - -");
    const CapturePositionKey key = CaptureValueTable::key_of(p, WHITE);
    EXPECT_EQ(table.find(key), nullptr);

    table.record(key, 10, CAPTURE_VALUE_UNKNOWN_UPPER);
    ASSERT_NE(table.find(key), nullptr);
    EXPECT_EQ(table.find(key)->lower, 10);
    EXPECT_EQ(table.find(key)->upper, CAPTURE_VALUE_UNKNOWN_UPPER);

    table.record(key, CAPTURE_VALUE_UNKNOWN_LOWER, 40);  // an upper bound joins the lower one
    EXPECT_EQ(table.find(key)->lower, 10);
    EXPECT_EQ(table.find(key)->upper, 40);
    table.record(key, 5, 50);  // looser bounds change nothing
    EXPECT_EQ(table.find(key)->lower, 10);
    EXPECT_EQ(table.find(key)->upper, 40);

    EXPECT_EQ(table.find(CaptureValueTable::key_of(p, BLACK)), nullptr);
    table.clear();
    EXPECT_EQ(table.find(key), nullptr);
    table.record(key, 7, 7);  // a cleared table takes new values
    EXPECT_EQ(table.find(key)->lower, 7);
}

// The best capture stays with the lower bound it proved: a looser lower bound brings no
// capture along, and a tighter one without a capture of its own names none.
TEST(CaptureValueTable, KeepsTheBestCaptureWithItsLowerBound) {
    static CaptureValueTable table;
    table.clear();
    const CapturePositionKey key = CaptureValueTable::key_of(record_from("4k3/8/8/3q4/4P3/8/8/4K3 w - -"), WHITE);
    table.record(key, 20, CAPTURE_VALUE_UNKNOWN_UPPER, 0x9001);
    table.record(key, 10, 60, 0x9002);
    EXPECT_EQ(table.find(key)->best, 0x9001);
    table.record(key, 20, 50);
    EXPECT_EQ(table.find(key)->best, 0x9001);
    table.record(key, 30, 50, 0x9003);
    EXPECT_EQ(table.find(key)->best, 0x9003);
    table.record(key, 40, 50);
    EXPECT_EQ(table.find(key)->best, 0);
    EXPECT_EQ(table.find(key)->lower, 40);
}

// Keys of positions that all fall into one bucket: a white knight and a black pawn moved
// about, until enough of them share the bucket of the first.
std::vector<CapturePositionKey> keys_of_one_bucket(int wanted) {
    std::map<std::uint32_t, std::vector<CapturePositionKey>> buckets;
    PositionRecord r = record_from("4k3/8/8/8/8/8/8/4K3 w - -");
    for (int knight = 0;; ++knight)
        for (int pawn = 8; pawn < 56; ++pawn) {
            r.white_knights.bits = std::uint64_t{1} << (knight % 64);
            r.black_pawns.bits = std::uint64_t{1} << pawn | static_cast<std::uint64_t>(knight / 64) << 16;
            const CapturePositionKey key = CaptureValueTable::key_of(r, WHITE);
            std::vector<CapturePositionKey>& same = buckets[CaptureValueTable::index_of(key)];
            same.push_back(key);
            if (int(same.size()) == wanted) return same;
        }
}

// A bucket holds two positions. A third takes the place of one left by an earlier search,
// and among entries of the same search, of the one that took fewer nodes; whatever is
// found is found with its own bounds.
TEST(CaptureValueTable, MakesRoomFromEarlierSearchesThenFromCheaperValues) {
    static_assert(CaptureValueTable::WAYS == 2);
    static CaptureValueTable table;
    table.clear();
    const std::vector<CapturePositionKey> k = keys_of_one_bucket(4);
    const auto holds = [&](int i, std::int32_t value) {
        const CaptureBounds* b = table.find(k[i]);
        return b && b->lower == value && b->upper == value;
    };
    table.start_search();
    table.record(k[0], 100, 100, 0, 500);
    table.record(k[1], 101, 101, 0, 50);
    table.record(k[2], 102, 102, 0, 90);  // k[1] took fewer nodes
    EXPECT_TRUE(holds(0, 100));
    EXPECT_EQ(table.find(k[1]), nullptr);
    EXPECT_TRUE(holds(2, 102));

    table.start_search();
    table.record(k[3], 103, 103, 0, 10);  // both are older: the cheaper of them, k[2], goes
    EXPECT_TRUE(holds(0, 100));
    EXPECT_EQ(table.find(k[2]), nullptr);
    EXPECT_TRUE(holds(3, 103));
    table.record(k[1], 101, 101, 0, 5);  // k[0] is the one left from the earlier search
    EXPECT_EQ(table.find(k[0]), nullptr);
    EXPECT_TRUE(holds(1, 101));
    EXPECT_TRUE(holds(3, 103));

    // An update of a position found in the bucket stays in its own entry.
    table.record(k[3], 90, 110, 0, 1);
    EXPECT_TRUE(holds(1, 101));
    EXPECT_TRUE(holds(3, 103));
}

// An empty board with Black to move has an all-zero key, like an entry never written: it
// must still not be found before it is recorded, in a fresh table or after clearing.
TEST(CaptureValueTable, UnwrittenEntriesMatchNoKey) {
    static CaptureValueTable table;
    const CapturePositionKey zero = CaptureValueTable::key_of(PositionRecord{}, BLACK);
    EXPECT_EQ(zero, CapturePositionKey{});
    EXPECT_EQ(table.find(zero), nullptr);
    table.record(zero, -3, 4);
    ASSERT_NE(table.find(zero), nullptr);
    table.clear();
    EXPECT_EQ(table.find(zero), nullptr);
}

// ---------------------------------------------------------------------------------------
// The search with the table against the search without it.

// Both kings (now and then one missing), up to `extra` more pieces of each colour anywhere,
// pawns included on any rank, castling rights and en-passant masks at random: positions the
// capture search may meet after odd set-ups as well as in games.
PositionRecord random_position(std::mt19937& rng, int extra) {
    std::uniform_int_distribution<int> square(0, 63), kind(0, PIECE_KIND_NB - 1), coin(0, 9);
    std::uniform_int_distribution<int> count(0, extra), byte(0, 255);
    PositionRecord r;
    for (Color c : {WHITE, BLACK}) {
        if (coin(rng) != 0) piece_board(r, c, KING).bits |= std::uint64_t{1} << square(rng);
        for (int n = count(rng); n > 0; --n) {
            const PieceKind k = PieceKind(kind(rng));
            if (k != KING) piece_board(r, c, k).bits |= std::uint64_t{1} << square(rng);
        }
        castling(r, c)[CASTLE_FLAGS_BYTE] =
            static_cast<std::uint8_t>(byte(rng) & (CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK | CASTLE_LONG_ROOK));
        if (coin(rng) < 3) castling(r, c)[EN_PASSANT_BYTE] = static_cast<std::uint8_t>(1u << (square(rng) % 8));
    }
    return r;
}

// engine-b walks every capture node; its form of the capture search (standing pat for the
// side that has just moved) is checked with the table too, so the one body serves both.
constexpr BuildProfile with_value_table(BuildProfile p) {
    p.capture_method = CaptureMethod::ValueTable;
    return p;
}
inline constexpr BuildProfile ENGINE_B_VALUE_TABLE = with_value_table(ENGINE_B);

// The context of each build's searches in this file: its value table carries over from one
// search to the next, as in a program's run, until a test empties it.
template <const BuildProfile& P>
SearchContext<P>& test_context() {
    static const std::unique_ptr<SearchContext<P>> context = std::make_unique<SearchContext<P>>();
    return *context;
}

template <const BuildProfile& P>
struct Forms {
    static std::int32_t table(Color moved, std::int32_t alpha, std::int32_t beta, const PositionRecord& r) {
        return capture_search<P>(test_context<P>(), moved, alpha, beta, r);
    }
    static std::int32_t every_node(Color moved, std::int32_t alpha, std::int32_t beta, const PositionRecord& r);
    static void forget() { forget_capture_values(test_context<P>()); }
};
template <>
std::int32_t Forms<ENGINE_A>::every_node(Color moved, std::int32_t alpha, std::int32_t beta, const PositionRecord& r) {
    return capture_search<ENGINE_A_EVERY_NODE>(test_context<ENGINE_A_EVERY_NODE>(), moved, alpha, beta, r);
}
template <>
std::int32_t Forms<ENGINE_B_VALUE_TABLE>::every_node(Color moved, std::int32_t alpha, std::int32_t beta,
                                                     const PositionRecord& r) {
    return capture_search<ENGINE_B>(test_context<ENGINE_B>(), moved, alpha, beta, r);
}

struct TableBuild {
    const char* name;
    std::int32_t (*table)(Color, std::int32_t, std::int32_t, const PositionRecord&);
    std::int32_t (*every_node)(Color, std::int32_t, std::int32_t, const PositionRecord&);
    void (*forget)();
};
void PrintTo(const TableBuild& b, std::ostream* os) { *os << b.name; }

template <const BuildProfile& P>
TableBuild table_build(const char* name) {
    return {name, Forms<P>::table, Forms<P>::every_node, Forms<P>::forget};
}

class CaptureSearchByTable : public ::testing::TestWithParam<TableBuild> {};

// Windows of every kind: windows far above and below the value, windows that end exactly at
// it, one-point windows just around it, and last the whole window.
TEST_P(CaptureSearchByTable, ReturnsTheNodeByNodeScoreForEveryWindow) {
    const TableBuild& b = GetParam();
    b.forget();
    std::mt19937 rng(515);
    std::uniform_int_distribution<int> offset(-400, 400);
    int positions = 0;
    for (int i = 0; i < 400 && !HasFailure(); ++i) {
        const PositionRecord r = random_position(rng, i % 2 == 0 ? 6 : 12);
        for (Color moved : {WHITE, BLACK}) {
            const std::int32_t value = b.every_node(moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, r);
            ++positions;
            const std::int32_t centre = value + offset(rng);
            const std::pair<std::int32_t, std::int32_t> windows[] = {
                {centre - 50, centre + 50}, {value - 1, value + 1}, {value, value + 1},
                {value - 1, value},         {value - 300, value - 10}, {value + 10, value + 300},
                {centre, centre + 1},
            };
            for (const auto& [alpha, beta] : windows)
                EXPECT_EQ(b.table(moved, alpha, beta, r), b.every_node(moved, alpha, beta, r))
                    << i << " window " << alpha << ".." << beta;
            // Asked last, after the narrow windows have left their bounds in the table.
            ASSERT_EQ(b.table(moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, r), value) << i;
        }
    }
    EXPECT_EQ(positions, 800);

}

// The table fills with bounds from narrow windows first; the whole-window answers that
// follow must still be exact, and the same again once the table is emptied.
TEST_P(CaptureSearchByTable, BoundsFromNarrowWindowsNeverChangeALaterAnswer) {
    const TableBuild& b = GetParam();
    b.forget();
    std::mt19937 rng(306);
    std::vector<PositionRecord> positions;
    for (int i = 0; i < 200; ++i) positions.push_back(random_position(rng, 7));
    std::uniform_int_distribution<int> point(-600, 600);
    for (const PositionRecord& r : positions) {
        const std::int32_t p = point(rng);
        b.table(WHITE, p, p + 1, r);
        b.table(BLACK, p - 1, p, r);
    }
    std::vector<std::int32_t> expected;
    for (const PositionRecord& r : positions)
        for (Color moved : {WHITE, BLACK}) expected.push_back(b.every_node(moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, r));
    for (bool emptied : {false, true}) {
        if (emptied) b.forget();
        for (std::size_t i = 0; i < positions.size(); ++i) {
            EXPECT_EQ(b.table(WHITE, -CAPTURE_WINDOW, CAPTURE_WINDOW, positions[i]), expected[2 * i]) << i;
            EXPECT_EQ(b.table(BLACK, -CAPTURE_WINDOW, CAPTURE_WINDOW, positions[i]), expected[2 * i + 1]) << i;
        }
    }
}

// After a search the best capture remembered with a position, played and searched node by
// node, reaches at least the lower bound it is remembered with: after a search whose window
// lies below the value (the capture that cut it off) and after one in the whole window.
TEST(CaptureSearchBestCapture, ReachesTheLowerBoundItIsRememberedWith) {
    SearchContext<ENGINE_A>& context = test_context<ENGINE_A>();
    std::mt19937 rng(1607);
    int checked = 0;
    for (int i = 0; i < 300 && !HasFailure(); ++i) {
        const PositionRecord r = random_position(rng, 10);
        for (Color moved : {WHITE, BLACK}) {
            const Color side = ~moved;
            const std::int32_t value = Forms<ENGINE_A>::every_node(moved, -CAPTURE_WINDOW, CAPTURE_WINDOW, r);
            PositionRecord node;
            detail::load_node(r, node);
            for (const std::int32_t alpha : {value - 30, -CAPTURE_WINDOW}) {
                forget_capture_values(context);
                capture_search<ENGINE_A>(context, moved, alpha, alpha == -CAPTURE_WINDOW ? CAPTURE_WINDOW : alpha + 1, r);
                const CaptureBounds* known = context.capture_values.find(CaptureValueTable::key_of(node, side));
                if (!known || known->best == 0) continue;
                // Two pieces sharing a slot may share a name too: one of them is the capture.
                int found = 0;
                std::int32_t reached = CAPTURE_VALUE_UNKNOWN_LOWER;
                detail::for_each_move<MoveList::Captures>(node, side, [&](std::int32_t, const Candidate& move) {
                    if (detail::capture_tag(move) != known->best) return false;
                    ++found;
                    PositionRecord child;
                    detail::make_child(node, side, move, false, child, placement_balance(node));
                    reached = std::max(reached, -Forms<ENGINE_A>::every_node(side, -CAPTURE_WINDOW, CAPTURE_WINDOW, child));
                    return false;
                });
                EXPECT_GE(found, 1) << i;
                EXPECT_GE(reached, known->lower) << i << " window from " << alpha;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 200);
}

INSTANTIATE_TEST_SUITE_P(Builds, CaptureSearchByTable,
                         ::testing::Values(table_build<ENGINE_A>("EngineA"), table_build<ENGINE_B_VALUE_TABLE>("EngineB")),
                         [](const auto& info) { return std::string(info.param.name); });

// Full searches from positions of real games, one after another without emptying the
// table, as a program plays a game: the same move, score and outputs as node by node.
template <const BuildProfile& Table, const BuildProfile& EveryNode>
void expect_same_root(const char* fen, Color engine) {
    PositionRecord a = record_from(fen), b = a;
    SearchOutputs out_a, out_b;
    out_a.excluded_ordinal = out_b.excluded_ordinal = EXCLUDE_NOTHING;
    const std::int32_t score_a =
        search_root<Table>(test_context<Table>(), ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, a, engine, out_a, 0);
    const std::int32_t score_b =
        search_root<EveryNode>(test_context<EveryNode>(), ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, b, engine, out_b, 0);
    EXPECT_EQ(score_a, score_b) << Table.name << ' ' << fen;
    EXPECT_EQ(out_a.best_ordinal, out_b.best_ordinal) << Table.name << ' ' << fen;
    EXPECT_EQ(out_a.second_ordinal, out_b.second_ordinal) << Table.name << ' ' << fen;
    EXPECT_EQ(out_a.choice_flag, out_b.choice_flag) << Table.name << ' ' << fen;
    EXPECT_EQ(out_a.root_flag, out_b.root_flag) << Table.name << ' ' << fen;
    EXPECT_TRUE(a == b) << Table.name << ' ' << fen;
}

TEST(SearchRootByTable, ChoosesTheNodeByNodeMoveThroughAGame) {
    // A game's positions in order, each side in turn; the table carries over between them.
    // (Full middlegames are left to the bench signature: node by node, engine-a needs up to
    // a minute for one of them.)
    const struct {
        const char* fen;
        Color engine;
    } game[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", BLACK},
        {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6", WHITE},
        {"rnbqkbnr/ppp1pppp/8/3P4/8/8/PPPP1PPP/RNBQKBNR b KQkq -", BLACK},
        {"rnb1kbnr/ppp1pppp/8/3q4/8/8/PPPP1PPP/RNBQKBNR w KQkq -", WHITE},
        {"rnb1kbnr/ppp1pppp/8/3q4/8/2N5/PPPP1PPP/R1BQKBNR b KQkq -", BLACK},
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", WHITE},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 b - -", BLACK},
    };
    forget_capture_values(test_context<ENGINE_A>());
    forget_capture_values(test_context<ENGINE_B_VALUE_TABLE>());
    for (const auto& p : game) {
        expect_same_root<ENGINE_A, ENGINE_A_EVERY_NODE>(p.fen, p.engine);
        expect_same_root<ENGINE_B_VALUE_TABLE, ENGINE_B>(p.fen, p.engine);
    }
}

}  // namespace
}  // namespace quill
