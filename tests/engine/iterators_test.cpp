// The move iterators: where a walk starts and ends, what the legal ones skip and what they
// leave behind when nothing is legal. Every case runs for both colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "moves_test_support.h"

namespace quill::test {
namespace {

using Names = std::vector<std::string>;

class Iterators : public ::testing::TestWithParam<Color> {
protected:
    Color c = GetParam();
    std::string m(const char* move) const { return move_as_color(c, move); }
    SetupPosition at(const char* fen) const { return setup(as_color(c, fen)); }
};

// Checkmate and stalemate: every candidate leaves the king attacked. The legal iterator
// returns 1 with the record as it was, apart from the side's ordinal, now ORDINAL_EXHAUSTED.
TEST_P(Iterators, NoLegalMoveLeavesTheRecordAsItWas) {
    for (const char* fen : {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -", "8/8/8/8/8/1k6/2q5/K7 w - -"}) {
        const SetupPosition p = at(fen);
        ASSERT_FALSE(ordinal_list(p.record, c).empty()) << fen;
        PositionRecord r = p.record;
        EXPECT_EQ(next_move(r, c, Walk::Legal), 1) << fen;
        EXPECT_EQ(move_ordinal(r, c), ORDINAL_EXHAUSTED) << fen;
        EXPECT_EQ(r.move_made_flag, 0) << fen;
        move_ordinal(r, c) = 0;
        EXPECT_EQ(r, p.record) << fen;
    }
}

// A pinned knight: the plain iterator makes its first move although it exposes the king;
// the legal one passes over all six knight moves and makes the first king move, ordinal 7.
TEST_P(Iterators, PlainMakesKingExposingMovesLegalSkipsThem) {
    const SetupPosition p = at("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    PositionRecord plain = p.record;
    ASSERT_EQ(next_move(plain, c, Walk::Plain), 0);
    EXPECT_EQ(move_ordinal(plain, c), 1);
    EXPECT_EQ(move_name(p.record, plain, c), c == WHITE ? "e2g1" : "e7f5");
    EXPECT_TRUE(piece_board(plain, c, KING).intersects(attacks(plain, ~c)));
    EXPECT_EQ(plain.move_made_flag, 1);

    PositionRecord legal = p.record;
    ASSERT_EQ(next_move(legal, c, Walk::Legal), 0);
    EXPECT_EQ(move_ordinal(legal, c), 7);
    EXPECT_EQ(move_name(p.record, legal, c), c == WHITE ? "e1f1" : "e8f7");
    EXPECT_FALSE(piece_board(legal, c, KING).intersects(attacks(legal, ~c)));
    EXPECT_EQ(legal.move_made_flag, 1);

    // The record an iterator leaves is regenerated: another pass changes nothing.
    for (const PositionRecord& made : {plain, legal}) {
        PositionRecord again = made;
        generate_moves(again);
        EXPECT_EQ(again, made);
    }
}

// Walking every move of a position: restore the core, regenerate, keep the ordinal.
TEST_P(Iterators, WalkByRestoringTheCore) {
    const SetupPosition p = at("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    const Names legal = c == WHITE ? Names{"e1f1", "e1d1", "e1f2", "e1d2"} : Names{"e8f7", "e8d7", "e8f8", "e8d8"};
    EXPECT_EQ(iterator_list(p.record, c, Walk::Legal), legal);
    const Names plain = iterator_list(p.record, c, Walk::Plain);
    EXPECT_EQ(plain, ordinal_list(p.record, c));
    EXPECT_EQ(plain.size(), 10u);

    // The ordinals the legal walk leaves behind, and the end of the walk.
    PositionRecord node = p.record;
    std::vector<std::int32_t> ordinals;
    while (next_move(node, c, Walk::Legal) == 0) {
        ordinals.push_back(move_ordinal(node, c));
        copy_position_core(p.record, node);
        generate_moves(node);
    }
    EXPECT_EQ(ordinals, (std::vector<std::int32_t>{7, 8, 9, 10}));
    EXPECT_EQ(move_ordinal(node, c), ORDINAL_EXHAUSTED);
    EXPECT_TRUE(same_boards(node, p.record));
}

// An iterator starts after the ordinal found in the record, whatever put it there.
TEST_P(Iterators, StartsAfterTheRecordedOrdinal) {
    const SetupPosition p = at("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    const Names all = ordinal_list(p.record, c);
    for (std::int32_t k : {0, 3, 19}) {
        PositionRecord r = p.record;
        move_ordinal(r, c) = k;
        ASSERT_EQ(next_move(r, c, Walk::Plain), 0) << k;
        EXPECT_EQ(move_ordinal(r, c), k + 1);
        EXPECT_EQ(move_name(p.record, r, c), all[k]);
    }
    PositionRecord r = p.record;
    move_ordinal(r, c) = 20;
    EXPECT_EQ(next_move(r, c, Walk::Plain), 1);
    EXPECT_EQ(move_ordinal(r, c), ORDINAL_EXHAUSTED);
    EXPECT_TRUE(same_boards(r, p.record));
}

// Past the hundredth candidate there is no move, although the maker still makes one.
TEST_P(Iterators, StopAtTheHundredthCandidate) {
    const SetupPosition p = at("7k/8/1B4B1/3Q4/3N4/2Q2Q2/1N4P1/R3K2R w - -");
    const Names all = ordinal_list(p.record, c);
    ASSERT_GT(all.size(), std::size_t{MAX_MOVE_ORDINAL});
    for (const Walk walk : {Walk::Plain, Walk::Legal}) {
        const Names walked = iterator_list(p.record, c, walk);
        EXPECT_EQ(walked, Names(all.begin(), all.begin() + MAX_MOVE_ORDINAL));
    }
    PositionRecord r = p.record;
    move_ordinal(r, c) = MAX_MOVE_ORDINAL;
    EXPECT_EQ(next_move(r, c, Walk::Plain), 1);
    EXPECT_EQ(move_ordinal(r, c), MAX_MOVE_ORDINAL + 1);
}

// The capture iterators walk castling, en passant and captures only; with none they end at
// once and change no board.
TEST_P(Iterators, CaptureIterators) {
    const SetupPosition p = at("7k/8/8/1b1PpP1n/Q3p3/2NB2Nr/3r2P1/4K2R w K e6");
    EXPECT_EQ(iterator_list(p.record, c, Walk::Captures), ordinal_list(p.record, c, MoveList::Captures));
    EXPECT_EQ(iterator_list(p.record, c, Walk::Captures).size(), 14u);

    const SetupPosition quiet = at("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    PositionRecord r = quiet.record;
    EXPECT_EQ(next_move(r, c, Walk::Captures), 1);
    EXPECT_EQ(move_ordinal(r, c), ORDINAL_EXHAUSTED);
    EXPECT_TRUE(same_boards(r, quiet.record));
    EXPECT_EQ(r.move_made_flag, 0);
}

INSTANTIATE_TEST_SUITE_P(BothColours, Iterators, ::testing::Values(WHITE, BLACK),
                         [](const auto& info) { return std::string(color_name(info.param)); });

}  // namespace
}  // namespace quill::test
