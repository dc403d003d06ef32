// bookmaker show: each entry as its move, numbered by the lines that reach its key.
#include <gtest/gtest.h>

#include <string>

#include "bookmaker_test_support.h"

namespace quill {
namespace {

using namespace test;

TEST(Show, EachEntryAsItsMoveWithNumberAndColour) {
    Scratch scratch;
    const std::string line = "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O";
    const std::vector<std::string> t = texts_of_line(line);
    // A key no line of the book reaches (past the plies followed freely, and no book move
    // leads there), an answer that is no legal move, and a repeated key.
    const std::string unreached = entry("d4 Nf6 c4 e6 Nc3 Bb4 Qc2", 6);
    std::string bad = t[2];
    bad[6 * 8 + 3] = ' ';  // the pawn leaves d2 ...
    bad[2 * 8 + 3] = 'P';  // ... for d6
    const std::string book = entry(line, 0) + entry(line, 2) + entry(line, 4) + entry(line, 6) + unreached + record(t[2]) + record(bad) + entry(line, 2) +
                             entry("d4 d5 c4", 2);
    const Outcome run = bookmaker({"show", scratch.write("w.vbk", book)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "record  number  colour  move  SAN\n"
              "     1  1.      White   e2e4  e4\n"
              "     3  2.      White   g1f3  Nf3\n"
              "     5  3.      White   f1c4  Bc4\n"
              "     7  4.      White   e1g1  O-O\n"
              "     9  ?.      White   d1c2  Qc2\n"
              "    11  2.      White   d2d6  (not a legal move) (never played: record 3 has this key)\n"
              "    13  2.      White   g1f3  Nf3 (never played: record 3 has this key)\n"
              "    15  2.      White   c2c4  c4\n");
}

TEST(Show, ABookOfBlackCountsItsMovesFromWhitesFirst) {
    Scratch scratch;
    const std::string line = "d4 d5 c4 e6 Nc3 Nf6 Bg5 Be7";
    const Outcome run = bookmaker({"show", scratch.write("b.vbk", entry(line, 1) + entry(line, 3) + entry(line, 5) + entry(line, 7))});
    EXPECT_EQ(run.out,
              "record  number  colour  move  SAN\n"
              "     1  1...    Black   d7d5  d5\n"
              "     3  2...    Black   e7e6  e6\n"
              "     5  3...    Black   g8f6  Nf6\n"
              "     7  4...    Black   f8e7  Be7\n");
    EXPECT_EQ(bookmaker({"show", scratch.path("absent.vbk")}).status, 2);
}

}  // namespace
}  // namespace quill
