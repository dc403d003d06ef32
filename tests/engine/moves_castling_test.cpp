// Castle flags kept by the makers and the castling they offer: rook and king moves, attacked
// and occupied squares, and a rook taken on its corner. Every case runs for White and, on the
// reflected board, for Black.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "moves_test_support.h"

namespace quill::test {
namespace {

constexpr std::uint8_t RIGHTS = CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK | CASTLE_LONG_ROOK;

bool offers(const std::vector<std::string>& moves, const std::string& move) {
    return std::find(moves.begin(), moves.end(), move) != moves.end();
}

class CastleFlags : public ::testing::TestWithParam<Color> {
protected:
    Color c = GetParam();
    std::string m(const char* move) const { return move_as_color(c, move); }
    SetupPosition at(const char* fen) const { return setup(as_color(c, fen)); }
    std::uint8_t flags(const PositionRecord& r) const { return castling(r, c)[CASTLE_FLAGS_BYTE]; }
};

// Moving the h-rook clears only CASTLE_SHORT_ROOK, the a-rook only CASTLE_LONG_ROOK; a rook
// that comes back does not bring the right back.
TEST_P(CastleFlags, RookMovesClearTheirOwnCornerOnly) {
    const char* fen = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    {
        SetupPosition p = at(fen);
        play(p.record, c, m("h1h2"));
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, RIGHTS);
        play(p.record, ~c, m("a8b8"));
        play(p.record, c, m("h2h1"));
        const auto moves = ordinal_list(p.record, c);
        EXPECT_FALSE(offers(moves, m("e1g1")));
        EXPECT_EQ(moves.front(), m("e1c1"));
    }
    {
        SetupPosition p = at(fen);
        play(p.record, c, m("a1b1"));
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK);
        play(p.record, ~c, m("h8h7"));
        play(p.record, c, m("b1a1"));
        const auto moves = ordinal_list(p.record, c);
        EXPECT_EQ(moves.front(), m("e1g1"));
        EXPECT_FALSE(offers(moves, m("e1c1")));
    }
}

// Any king move clears the whole byte, and a king that returns to e1 cannot castle.
TEST_P(CastleFlags, KingMoveClearsEveryFlag) {
    SetupPosition p = at("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    play(p.record, c, m("e1f1"));
    EXPECT_EQ(flags(p.record), 0);
    play(p.record, ~c, m("a8b8"));
    play(p.record, c, m("f1e1"));
    const auto moves = ordinal_list(p.record, c);
    EXPECT_FALSE(offers(moves, m("e1g1")));
    EXPECT_FALSE(offers(moves, m("e1c1")));
}

// The availability bits are recomputed on every call, ordinal 0 included, and only the
// rights and the position decide them.
TEST_P(CastleFlags, AvailabilityBitsFollowThePosition) {
    struct Case { const char* fen; std::uint8_t now; const char* why; };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_SHORT_NOW | CASTLE_LONG_NOW, "both free"},
        {"4k3/8/8/8/8/8/8/R3K2R w K -", CASTLE_SHORT_NOW, "no long right"},
        {"4k3/8/8/8/8/8/8/R3K2R w Q -", CASTLE_LONG_NOW, "no short right"},
        {"4k3/8/8/8/8/8/8/R3K2R w - -", 0, "no rights"},
        {"4k3/8/8/8/8/8/8/R3KB1R w KQ -", CASTLE_LONG_NOW, "own piece on f1"},
        {"4k3/8/8/8/8/8/8/R3K1NR w KQ -", CASTLE_LONG_NOW, "own piece on g1"},
        {"4k3/8/8/8/8/8/8/R3K1nR w KQ -", CASTLE_LONG_NOW, "enemy piece on g1"},
        {"4k3/8/8/8/8/8/8/RN2K2R w KQ -", CASTLE_SHORT_NOW, "own piece on b1"},
        {"4k3/8/8/8/8/8/8/R1b1K2R w KQ -", CASTLE_SHORT_NOW, "enemy piece on c1"},
        {"4k3/8/8/8/8/8/8/R2QK2R w KQ -", CASTLE_SHORT_NOW, "own piece on d1"},
        {"4k3/8/8/8/8/8/8/R3K1R1 w KQ -", CASTLE_LONG_NOW, "rook not on h1"},
        {"4k3/8/8/8/8/8/8/1R2K2R w KQ -", CASTLE_SHORT_NOW, "rook not on a1"},
        {"4k3/8/8/8/8/8/8/R4K1R w KQ -", 0, "king not on e1"},
        {"4k3/8/8/8/8/8/8/R3K2B w KQ -", CASTLE_LONG_NOW, "bishop, not rook, on h1"},
        {"4r1k1/8/8/8/8/8/8/R3K2R w KQ -", 0, "king in check"},
        {"1k3r2/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_LONG_NOW, "f1 attacked"},
        {"1k4r1/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_LONG_NOW, "g1 attacked"},
        {"6k1/8/8/8/8/8/8/R3K1bR w KQ -", CASTLE_LONG_NOW, "enemy bishop on g1"},
        {"3r2k1/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_SHORT_NOW, "d1 attacked"},
        {"2r3k1/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_SHORT_NOW, "c1 attacked"},
        {"1r4k1/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_SHORT_NOW | CASTLE_LONG_NOW, "b1 attacked"},
        {"6k1/8/8/8/8/8/4n3/R3K2R w KQ -", 0, "knight on e2 attacks c1 and g1"},
        {"6k1/8/8/8/8/7n/8/R3K2R w KQ -", CASTLE_LONG_NOW, "knight on h3 attacks g1"},
        {"6k1/8/8/8/8/8/7p/R3K2R w KQ -", CASTLE_LONG_NOW, "pawn on h2 attacks g1"},
        {"6k1/8/8/8/8/8/3p4/R3K2R w KQ -", 0, "pawn on d2 attacks c1 and e1"},
        {"6k1/8/8/8/8/8/2p5/R3K2R w KQ -", CASTLE_SHORT_NOW, "pawn on c2 attacks d1"},
        {"6k1/8/8/8/8/8/p7/R3K2R w KQ -", CASTLE_SHORT_NOW | CASTLE_LONG_NOW, "pawn on a2 attacks b1 only"},
    };
    for (const Case& cs : cases) {
        SetupPosition p = at(cs.fen);
        make(p.record, c, MoveList::Full, 0);
        EXPECT_EQ(flags(p.record) & (CASTLE_SHORT_NOW | CASTLE_LONG_NOW), cs.now) << cs.fen << ": " << cs.why;
        const auto moves = ordinal_list(p.record, c);
        EXPECT_EQ(offers(moves, m("e1g1")), bool(cs.now & CASTLE_SHORT_NOW)) << cs.fen << ": " << cs.why;
        EXPECT_EQ(offers(moves, m("e1c1")), bool(cs.now & CASTLE_LONG_NOW)) << cs.fen << ": " << cs.why;
    }
}

// A rook taken on its corner loses that corner's right for good: another rook that later
// reaches the corner cannot castle. The taker's own flags are untouched.
TEST_P(CastleFlags, RookTakenOnItsCornerTakesTheRightAlong) {
    {
        SetupPosition p = at("r3k2r/7R/8/8/8/8/6b1/4K2R b Kkq -");
        play(p.record, ~c, m("g2h1"));
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT);
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, RIGHTS);
        play(p.record, c, m("h7h1"));
        play(p.record, ~c, m("a8b8"));
        make(p.record, c, MoveList::Full, 0);
        EXPECT_EQ(flags(p.record) & CASTLE_SHORT_NOW, 0);
        EXPECT_FALSE(offers(ordinal_list(p.record, c), m("e1g1")));
    }
    {
        SetupPosition p = at("4k3/8/8/8/8/R7/q7/R3K3 b Q -");
        play(p.record, ~c, m("a2a1"));
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT);
        play(p.record, c, m("a3a1"));
        make(p.record, c, MoveList::Full, 0);
        EXPECT_EQ(flags(p.record) & CASTLE_LONG_NOW, 0);
        EXPECT_FALSE(offers(ordinal_list(p.record, c), m("e1c1")));
    }
}

// Whatever lands on an enemy corner, capturing or not, clears that corner's enemy right and
// no other; the enemy's other squares and one's own corner clear nothing of the enemy's.
TEST_P(CastleFlags, EnemyCornerLandingClearsThatCornerOnly) {
    {
        SetupPosition p = at("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
        play(p.record, c, m("h1h8"));
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
    }
    {
        SetupPosition p = at("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
        play(p.record, c, m("a1a7"));
        play(p.record, ~c, m("h8g8"));
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
        play(p.record, c, m("a7b7"));
        play(p.record, ~c, m("g8h8"));
        play(p.record, c, m("b7b8"));
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
        play(p.record, ~c, m("h8h7"));
        play(p.record, c, m("b8a8"));
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, CASTLE_KING_RIGHT);
        // White's own rights: the a-rook left its corner, the h-rook never moved.
        EXPECT_EQ(flags(p.record) & RIGHTS, CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK);
    }
    {
        // A bishop reaching an empty enemy corner.
        SetupPosition p = at("r3k3/8/8/8/8/8/8/B3K3 w q -");
        castling(p.record, ~c)[CASTLE_FLAGS_BYTE] = RIGHTS;
        play(p.record, c, m("a1h8"));
        EXPECT_EQ(castling(p.record, ~c)[CASTLE_FLAGS_BYTE] & RIGHTS, CASTLE_KING_RIGHT | CASTLE_LONG_ROOK);
    }
}

INSTANTIATE_TEST_SUITE_P(BothColours, CastleFlags, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });

}  // namespace
}  // namespace quill::test
