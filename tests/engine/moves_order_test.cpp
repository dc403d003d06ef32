// The fixed order in which the makers number a side's moves, the end of the enumeration, and
// ordinals that name no move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "moves_test_support.h"

namespace quill::test {
namespace {

using Names = std::vector<std::string>;

// Knights by slot (found rank by rank from rank 1, files h to a), then the pawns from the
// h-pawn to the a-pawn; each piece's targets from rank 1 up, files h to a within a rank.
TEST(OrdinalOrder, StartPositionWhite) {
    const Names expected = {"g1h3", "g1f3", "b1c3", "b1a3", "h2h3", "h2h4", "g2g3", "g2g4", "f2f3", "f2f4",
                            "e2e3", "e2e4", "d2d3", "d2d4", "c2c3", "c2c4", "b2b3", "b2b4", "a2a3", "a2a4"};
    EXPECT_EQ(ordinal_list(START_FEN), expected);
}

// Black's pieces are numbered by the same scan, so the knights come in the mirrored order;
// its targets too are read from rank 1 up, which puts each double step (rank 5) before the
// single step (rank 6).
TEST(OrdinalOrder, StartPositionBlack) {
    const Names expected = {"g8h6", "g8f6", "b8c6", "b8a6", "h7h5", "h7h6", "g7g5", "g7g6", "f7f5", "f7f6",
                            "e7e5", "e7e6", "d7d5", "d7d6", "c7c5", "c7c6", "b7b5", "b7b6", "a7a5", "a7a6"};
    EXPECT_EQ(ordinal_list("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), expected);
}

// Castling, en passant (the pawn on the a-side first), captures by knights, bishops, queens,
// pawns, rooks, king, then the quiet moves in the same kind order. Worked out square by
// square from the diagram: knights g3 (slot 0) and c3, bishop d3, queen a4, pawns g2, f5,
// d5 in slot order, rook h1, king e1; Black has just played e7-e5.
constexpr const char* GROUPS_FEN = "7k/8/8/1b1PpP1n/Q3p3/2NB2Nr/3r2P1/4K2R w K e6";
const Names GROUPS_CAPTURES = {"e1g1", "d5e6", "f5e6", "g3e4", "g3h5", "c3e4", "c3b5", "d3e4",
                               "d3b5", "a4e4", "a4b5", "g2h3", "h1h3", "e1d2"};
const Names GROUPS_QUIET = {"g3f1", "g3e2", "c3d1", "c3b1", "c3e2", "c3a2", "d3f1", "d3b1", "d3e2",
                            "d3c2", "d3c4", "a4d1", "a4a1", "a4c2", "a4a2", "a4b3", "a4a3", "a4d4",
                            "a4c4", "a4b4", "a4a5", "a4a6", "a4a7", "a4a8", "f5f6", "d5d6", "h1g1",
                            "h1f1", "h1h2", "e1f1", "e1d1", "e1f2", "e1e2"};

TEST(OrdinalOrder, GroupsAndKindsWhite) {
    Names full = GROUPS_CAPTURES;
    full.insert(full.end(), GROUPS_QUIET.begin(), GROUPS_QUIET.end());
    EXPECT_EQ(ordinal_list(GROUPS_FEN), full);
    EXPECT_EQ(ordinal_list(GROUPS_FEN, MoveList::Captures), GROUPS_CAPTURES);
}

// The same position reflected for Black. Slots and targets are still scanned from rank 1
// up, so within each piece the order differs from a plain reflection of White's list (the
// knight on g6 takes on h4 before e5, the queen's quiet moves start at a1).
TEST(OrdinalOrder, GroupsAndKindsBlack) {
    const std::string fen = mirror_fen(GROUPS_FEN);
    ASSERT_EQ(fen, "4k2r/3R2p1/2nb2nR/q3P3/1B1pPp1N/8/8/7K b k e3");
    const Names captures = {"e8g8", "d4e3", "f4e3", "g6h4", "g6e5", "c6b4", "c6e5", "d6b4",
                            "d6e5", "a5b4", "a5e5", "g7h6", "h8h6", "e8d7"};
    const Names quiet = {"g6e7", "g6f8", "c6e7", "c6a7", "c6d8", "c6b8", "d6c5", "d6e7", "d6c7",
                         "d6f8", "d6b8", "a5a1", "a5a2", "a5a3", "a5a4", "a5d5", "a5c5", "a5b5",
                         "a5b6", "a5a6", "a5c7", "a5a7", "a5d8", "a5a8", "f4f3", "d4d3", "h8h7",
                         "h8g8", "h8f8", "e8f7", "e8e7", "e8f8", "e8d8"};
    Names full = captures;
    full.insert(full.end(), quiet.begin(), quiet.end());
    EXPECT_EQ(ordinal_list(fen), full);
    EXPECT_EQ(ordinal_list(fen, MoveList::Captures), captures);
}

// Both castlings: short is ordinal 1, long ordinal 2; both leave the king byte of the back
// rank exactly on g or c, the rook beside it and the castle flags byte at 0.
class Castling : public ::testing::TestWithParam<Color> {};

TEST_P(Castling, ShortIsFirstAndLongSecond) {
    const Color c = GetParam();
    const SetupPosition p = setup(as_color(c, "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -"));
    const int back = relative_rank(c, 0);
    struct Case { std::int32_t n; std::uint8_t king, rooks; };
    for (const Case cs : {Case{1, 0x02, 0x84}, Case{2, 0x20, 0x11}}) {
        PositionRecord r = p.record;
        make(r, c, MoveList::Full, cs.n);
        EXPECT_EQ(move_ordinal(r, c), cs.n);
        EXPECT_EQ(piece_board(r, c, KING).byte(back), cs.king) << "ordinal " << cs.n;
        EXPECT_EQ(piece_board(r, c, KING), square_board(back, cs.king));
        EXPECT_EQ(piece_board(r, c, ROOK).byte(back), cs.rooks) << "ordinal " << cs.n;
        EXPECT_EQ(castling(r, c)[CASTLE_FLAGS_BYTE], 0);
        // Nothing else moves, and the other side keeps its rights.
        EXPECT_EQ(piece_board(r, c, PAWN), piece_board(p.record, c, PAWN));
        EXPECT_EQ(castling(r, ~c), castling(p.record, ~c));
    }
}

INSTANTIATE_TEST_SUITE_P(BothColours, Castling, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });

// One past the last candidate: ORDINAL_EXHAUSTED and not a board changed; 0 and negative
// ordinals make nothing and leave the recorded ordinal as it was.
class OrdinalEnd : public ::testing::TestWithParam<Color> {};

TEST_P(OrdinalEnd, BeyondTheListAndNonPositive) {
    const Color c = GetParam();
    const SetupPosition p = setup(as_color(c, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"));
    PositionRecord r = p.record;
    move_ordinal(r, c) = 7;
    move_ordinal(r, ~c) = 3;

    PositionRecord exhausted = r;
    make(exhausted, c, MoveList::Full, 21);
    EXPECT_EQ(move_ordinal(exhausted, c), ORDINAL_EXHAUSTED);
    exhausted.white_move_ordinal = r.white_move_ordinal;
    exhausted.black_move_ordinal = r.black_move_ordinal;
    EXPECT_EQ(exhausted, r);

    PositionRecord last = r;
    make(last, c, MoveList::Full, 20);
    EXPECT_EQ(move_ordinal(last, c), 20);

    for (const std::int32_t n : {0, -1, -200}) {
        PositionRecord none = r;
        make(none, c, MoveList::Full, n);
        EXPECT_EQ(none, r) << "ordinal " << n;
        PositionRecord none_captures = r;
        make(none_captures, c, MoveList::Captures, n);
        EXPECT_EQ(none_captures, r) << "capture ordinal " << n;
    }
}

// The capture list keeps castling and en passant; a quiet position without either has none.
TEST_P(OrdinalEnd, CaptureListOfQuietPosition) {
    const Color c = GetParam();
    for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "4k3/8/8/8/3p4/8/3P4/4K3 w - -"}) {
        SetupPosition p = setup(as_color(c, fen));
        PositionRecord r = p.record;
        make(r, c, MoveList::Captures, 1);
        EXPECT_EQ(move_ordinal(r, c), ORDINAL_EXHAUSTED) << fen;
        EXPECT_TRUE(same_boards(r, p.record)) << fen;
    }
    const Names castles_and_en_passant = {move_as_color(c, "e1g1"), move_as_color(c, "e1c1"),
                                          move_as_color(c, "d5e6")};
    EXPECT_EQ(ordinal_list(as_color(c, "4k3/8/8/3Pp3/8/8/8/R3K2R w KQ e6"), MoveList::Captures),
              castles_and_en_passant);
}

// Taking the enemy king is an ordinary capture: its board becomes empty.
TEST_P(OrdinalEnd, KingCaptureEmptiesTheKingBoard) {
    const Color c = GetParam();
    SetupPosition p = setup(as_color(c, "4k3/8/8/8/8/8/8/4RK2 w - -"));
    EXPECT_EQ(ordinal_list(p.record, c, MoveList::Captures), Names{move_as_color(c, "e1e8")});
    make(p.record, c, MoveList::Captures, 1);
    EXPECT_TRUE(piece_board(p.record, ~c, KING).empty());
    EXPECT_EQ(piece_board(p.record, c, ROOK), square_board(move_as_color(c, "e8")));
}

INSTANTIATE_TEST_SUITE_P(BothColours, OrdinalEnd, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });

}  // namespace
}  // namespace quill::test
