// The two-view board diagram: White's view on the left, Black's view (rank 1 at the top,
// files h to a) on the right.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../board/board_test_support.h"
#include "driver/display.h"

namespace quill {
namespace {

std::string read_data_file(const std::string& relative) {
    std::ifstream in(std::string(QUILL_TEST_DATA) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string diagram(const PositionRecord& boards, BoardText& text) {
    std::ostringstream out;
    show_board(out, boards, text);
    return out.str();
}

std::vector<std::string> lines_of(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::string EMPTY_ROW_HALF = "|  |  |  |  |  |  |  |  ";

TEST(ShowBoard, StartPositionMatchesReferenceDiagram) {
    const std::string expected = read_data_file("driver/data/start_diagram.txt");
    ASSERT_FALSE(expected.empty());
    BoardText text = make_board_text(START_TEXT);
    EXPECT_EQ(diagram(test::record_of_text(text), text), expected);
}

// The buffer is rewritten in full from the boards, whatever it held before.
TEST(ShowBoard, RewritesTheTextBuffer) {
    BoardText text;
    text.fill('#');
    const PositionRecord boards = test::record_of("Kg1 qd8 pa7 Rh1");
    diagram(boards, text);
    EXPECT_EQ(std::string(text.begin(), text.end()),
              std::string(test::text_of("Kg1 qd8 pa7 Rh1").data(), 64));
}

// A square set in both black_pawns and white_rooks shows the white rook.
TEST(ShowBoard, SquareClaimedTwiceShowsTheLaterLetter) {
    PositionRecord boards;
    boards.black_pawns = square_board("d5");
    boards.white_rooks = square_board("d5");
    BoardText text;
    const std::vector<std::string> lines = lines_of(diagram(boards, text));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(text[3 * 8 + 3], 'R');
    // Rank 5 is row 3 on the left and row 4 on the right, where d is the fifth file from h.
    EXPECT_EQ(lines[2 + 2 * 3], "5 |  |  |  |R |  |  |  |  |        4 " + EMPTY_ROW_HALF + "|");
    EXPECT_EQ(lines[2 + 2 * 4], "4 " + EMPTY_ROW_HALF + "|        5 |  |  |  |  |R |  |  |  |");
}

// An asymmetric position pins down which rank and file each cell shows on both sides.
TEST(ShowBoard, EachCellShowsItsSquareInBothViews) {
    BoardText text;
    const std::string out = diagram(test::record_of("Nb3 qg6 Ka1 kh8"), text);
    const std::vector<std::string> lines = lines_of(out);
    ASSERT_EQ(lines.size(), 19u);
    const std::string sep = "   ------------------------          -------------------------";
    const std::vector<std::string> expected = {
        "   --   View For White   --          --   View For Black   ---",
        "   ========================          =========================",
        "8 |  |  |  |  |  |  |  |k |        1 |  |  |  |  |  |  |  |K |",
        sep,
        "7 " + EMPTY_ROW_HALF + "|        2 " + EMPTY_ROW_HALF + "|",
        sep,
        "6 |  |  |  |  |  |  |q |  |        3 |  |  |  |  |  |  |N |  |",
        sep,
        "5 " + EMPTY_ROW_HALF + "|        4 " + EMPTY_ROW_HALF + "|",
        sep,
        "4 " + EMPTY_ROW_HALF + "|        5 " + EMPTY_ROW_HALF + "|",
        sep,
        "3 |  |N |  |  |  |  |  |  |        6 |  |q |  |  |  |  |  |  |",
        sep,
        "2 " + EMPTY_ROW_HALF + "|        7 " + EMPTY_ROW_HALF + "|",
        sep,
        "1 |K |  |  |  |  |  |  |  |        8 |k |  |  |  |  |  |  |  |",
        "  =========================          =========================",
        "    A  B  C  D  E  F  G  H             H  G  F  E  D  C  B  A  ",
    };
    EXPECT_EQ(lines, expected);
    // The last line is left open for the caller.
    EXPECT_NE(out.back(), '\n');
}

}  // namespace
}  // namespace quill
