// En passant: the file mask a double step leaves for the other side, the captures it offers,
// and the boards an en-passant capture changes. Every case runs for both colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "moves_test_support.h"

namespace quill::test {
namespace {

using Names = std::vector<std::string>;

class EnPassant : public ::testing::TestWithParam<Color> {
protected:
    Color c = GetParam();
    std::string m(const char* move) const { return move_as_color(c, move); }
    SetupPosition at(const char* fen) const { return setup(as_color(c, fen)); }
    // The mask the other side may use, which c's pawn moves write.
    std::uint8_t enemy_mask(const PositionRecord& r) const { return castling(r, ~c)[EN_PASSANT_BYTE]; }
};

// A double step leaves its file in the other side's mask; any later pawn move of the same
// side replaces it (0 unless it is a double step itself); other pieces leave it alone.
TEST_P(EnPassant, MaskFollowsTheLastPawnMove) {
    SetupPosition p = at("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    castling(p.record, ~c)[EN_PASSANT_BYTE] = 0;
    play(p.record, c, m("e2e4"));
    EXPECT_EQ(enemy_mask(p.record), FILE_E);
    play(p.record, ~c, m("g8f6"));
    play(p.record, c, m("g1f3"));
    EXPECT_EQ(enemy_mask(p.record), FILE_E) << "a knight move keeps the mask";
    play(p.record, ~c, m("f6g8"));
    play(p.record, c, m("e4e5"));
    EXPECT_EQ(enemy_mask(p.record), 0) << "a single step clears it";
    play(p.record, ~c, m("d7d5"));
    play(p.record, c, m("a2a4"));
    EXPECT_EQ(enemy_mask(p.record), FILE_A);
    play(p.record, ~c, m("g8f6"));
    play(p.record, c, m("h2h4"));
    EXPECT_EQ(enemy_mask(p.record), FILE_H);
    play(p.record, ~c, m("f6e4"));
    play(p.record, c, m("d2d3"));
    EXPECT_EQ(enemy_mask(p.record), 0);
    play(p.record, ~c, m("e4f6"));
    play(p.record, c, m("c2c4"));
    EXPECT_EQ(enemy_mask(p.record), FILE_C);
    play(p.record, ~c, m("d5c4"));
    play(p.record, c, m("d3c4"));
    EXPECT_EQ(enemy_mask(p.record), 0) << "a pawn capture clears it";
}

// Both neighbours of the double-stepped pawn may take, the one on the a-side first; the
// boards change exactly as an en-passant capture should.
TEST_P(EnPassant, BothNeighboursTakeAndTheRightPawnsMove) {
    const SetupPosition p = at("4k3/8/8/3PpP2/8/8/8/4K3 w - e6");
    const Names captures = {m("d5e6"), m("f5e6")};
    EXPECT_EQ(ordinal_list(p.record, c, MoveList::Captures), captures);

    for (std::int32_t n : {1, 2}) {
        PositionRecord r = p.record;
        make(r, c, MoveList::Full, n);
        EXPECT_EQ(move_ordinal(r, c), n);
        const char* from = n == 1 ? "d5" : "f5";
        const char* stays = n == 1 ? "f5" : "d5";
        EXPECT_EQ(square_names(piece_board(r, c, PAWN)),
                  square_names(square_board(m(stays)) | square_board(m("e6"))));
        EXPECT_TRUE(piece_board(r, ~c, PAWN).empty()) << "the pawn on e5 is taken";
        EXPECT_FALSE(piece_board(r, c, PAWN).intersects(square_board(m(from))));
        // The kings and the mover's own mask stay as they were.
        EXPECT_EQ(piece_board(r, c, KING), piece_board(p.record, c, KING));
        EXPECT_EQ(piece_board(r, ~c, KING), piece_board(p.record, ~c, KING));
        EXPECT_EQ(castling(r, c)[EN_PASSANT_BYTE], FILE_E);
    }
}

// The mask of the a-file is taken only by the b-pawn and that of the h-file only by the
// g-pawn: the neighbour files do not wrap around the board.
TEST_P(EnPassant, EdgeFilesHaveOneNeighbour) {
    EXPECT_EQ(ordinal_list(as_color(c, "4k3/8/8/pP5P/8/8/8/4K3 w - a6"), MoveList::Captures), Names{m("b5a6")});
    EXPECT_EQ(ordinal_list(as_color(c, "4k3/8/8/P5Pp/8/8/8/4K3 w - h6"), MoveList::Captures), Names{m("g5h6")});
    // Without the mask there is no en passant at all.
    EXPECT_EQ(ordinal_list(as_color(c, "4k3/8/8/3PpP2/8/8/8/4K3 w - -"), MoveList::Captures), Names{});
    // A mask whose neighbours hold no pawn of the mover offers nothing.
    EXPECT_EQ(ordinal_list(as_color(c, "4k3/8/8/2P1p1P1/8/8/8/4K3 w - e6"), MoveList::Captures), Names{});
}

// En passant that uncovers an attack on the king along the rank: the plain iterator makes
// it, the legal one skips it.
TEST_P(EnPassant, ExposingTheKingIsLeftToTheLegalIterator) {
    const SetupPosition p = at("8/8/8/KPp4r/8/8/8/7k w - c6");
    PositionRecord plain = p.record;
    ASSERT_EQ(next_move(plain, c, Walk::Plain), 0);
    EXPECT_EQ(move_ordinal(plain, c), 1);
    EXPECT_EQ(move_name(p.record, plain, c), m("b5c6"));
    EXPECT_TRUE(piece_board(plain, c, KING).intersects(attacks(plain, ~c)));

    const Names legal = iterator_list(p.record, c, Walk::Legal);
    // King targets are read from rank 1 up, so Black's king moves come in another order.
    const Names expected = c == WHITE ? Names{"b5b6", "a5a4", "a5b6", "a5a6"} : Names{"b4b3", "a4b3", "a4a3", "a4a5"};
    EXPECT_EQ(legal, expected);
    EXPECT_EQ(iterator_list(p.record, c, Walk::Plain).size(), legal.size() + 2) << "b5c6 and a5b4 are pseudo-legal";
}

INSTANTIATE_TEST_SUITE_P(BothColours, EnPassant, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });

}  // namespace
}  // namespace quill::test
