// bookmaker check on damaged books: each kind of damage is reported at the record where the
// engine meets it, and the exit status tells a clean book from a reported one.
#include <gtest/gtest.h>

#include <string>

#include "bookmaker_test_support.h"

namespace quill {
namespace {

using namespace test;

const std::string OPENING = "e4 e5 Nf3 Nc6 Bb5";
// Two entries of a book of White: the start answered by 1.e4, and 1.e4 e5 by 2.Nf3.
std::string two_entries() { return entry(OPENING, 0) + entry(OPENING, 2); }

std::string text_after(const std::string& line) { return texts_of_line(line).back(); }

// `text` with the character on `square` (e.g. "e4") replaced.
std::string with_square(std::string text, const std::string& square, char c) {
    text[(8 - (square[1] - '0')) * 8 + (square[0] - 'a')] = c;
    return text;
}

struct Damage {
    const char* name;
    std::string book;
    std::string report;  // the first line reported, without the file name
    int problems;
};
void PrintTo(const Damage& d, std::ostream* out) { *out << d.name; }

std::vector<Damage> damages() {
    const std::string start = text_after(""), e4 = text_after("e4"), e4e5 = text_after("e4 e5");
    std::string short_line = record(start) + record(e4).substr(1);
    return {
        {"PartialLastRecord", two_entries() + record(start) + start.substr(0, 30),
         "record 6: cut short: the file ends after 30 of its 64 characters, so the engine never uses it", 1},
        {"KeyWithoutAnswer", two_entries() + record(e4e5), "record 5: a key without an answer, which the engine never uses", 1},
        {"ShortLine", two_entries() + short_line + two_entries(),
         "record 6: not a line of 64 characters (line 6 holds 63): the engine reads it and all 4 records after it out of step, "
         "as parts of other lines",
         1},
        {"LongLine", record(start) + record(e4 + "x") + two_entries(),
         "record 2: not a line of 64 characters (line 2 holds 65): the engine reads it and all 5 records after it out of step, "
         "as parts of other lines",
         1},
        {"OddCharacterInKey", two_entries() + record(with_square(with_square(e4e5, "a5", '.'), "h3", 'x')) + record(text_after("e4 e5 Nf3")),
         "record 5: '.' on a5, 'x' on h3: no piece letter or blank, so this key never matches", 1},
        {"OddCharacterInAnswer", record(start) + record(with_square(e4, "c6", '*')),
         "record 2: '*' on c6: no piece letter or blank, read as an empty square", 1},
        {"KeyAgainWithAnotherAnswer", two_entries() + record(start) + record(text_after("d4")),
         "record 5: the key of record 1 again, with another answer: the engine plays e2e4 (record 2), never d2d4 (record 6)", 1},
        {"EntryAgain", two_entries() + entry(OPENING, 0), "record 5: the entry of record 1 again; the engine never reaches it", 1},
        {"AnswerNotOneLegalMove", two_entries() + record(text_after("e4 e5 Nf3 Nc6")) + record(with_square(with_square(text_after("e4 e5 Nf3 Nc6"), "f1", ' '), "a5", 'B')),
         "record 6: the answer is not one legal move of White from its key (the engine would announce f1a5)", 1},
        {"AnswerMovesTwoPieces", record(start) + record(text_after("e4 Nf6 Nf3")),
         "record 2: the answer moves Black's pieces in a book of White", 1},
        {"AnswerUnchanged", two_entries() + record(text_after("e4 e5 Nf3 Nc6")) + record(text_after("e4 e5 Nf3 Nc6")),
         "record 6: the answer is its key unchanged: the engine moves nothing", 1},
    };
}

class CheckReports : public ::testing::TestWithParam<Damage> {};

TEST_P(CheckReports, TheDamageAtItsRecord) {
    Scratch scratch;
    const std::string path = scratch.write("wbook.vbk", GetParam().book);
    const Outcome run = bookmaker({"check", path, "--color", "white"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.out.rfind(path + ": record", 0), 0u) << run.out;
    EXPECT_EQ(run.out.substr(path.size() + 2, run.out.find('\n') - path.size() - 2), GetParam().report);
    const std::string problems = std::to_string(GetParam().problems) + (GetParam().problems == 1 ? " problem\n" : " problems\n");
    EXPECT_TRUE(run.out.ends_with(problems)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(EachKind, CheckReports, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Check, AnIllegalAnswerIsShownBesideItsKey) {
    Scratch scratch;
    const std::string start = text_after("");
    const std::string path = scratch.write("w.vbk", record(start) + record(with_square(with_square(start, "e2", ' '), "e5", 'P')));
    const Outcome run = bookmaker({"check", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, path + ": record 2: the answer is not one legal move of White from its key (the engine would announce e2e5)\n"
                       "      key, record 1         answer, record 2\n"
                       "    8 r n b q k b n r     8 r n b q k b n r\n"
                       "    7 p p p p p p p p     7 p p p p p p p p\n"
                       "    6 . . . . . . . .     6 . . . . . . . .\n"
                       "    5 . . . . . . . .     5 . . . . P . . .\n"
                       "    4 . . . . . . . .     4 . . . . . . . .\n"
                       "    3 . . . . . . . .     3 . . . . . . . .\n"
                       "    2 P P P P P P P P     2 P P P P . P P P\n"
                       "    1 R N B Q K B N R     1 R N B Q K B N R\n"
                       "      a b c d e f g h       a b c d e f g h\n" +
                           path + ": 1 entry, 1 distinct key, book of White (by its answers): 1 problem\n");
}

TEST(Check, CleanBooksAsTheEngineReadsThem) {
    Scratch scratch;
    // Castling, en passant and a promotion, with records ended by LF alone and the rest of
    // the file after a Ctrl-Z ignored.
    const std::string castles = "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O";
    const std::string passant = "e4 a6 e5 d5 exd6";
    const std::string promotes = "h4 g5 hxg5 Nf6 gxf6 Rg8 fxe7 Rg6 exd8=Q+";
    std::string book = entry(castles, 6) + entry(passant, 4) + entry(promotes, 8) + entry(OPENING, 0);
    std::string lf;
    for (const char c : book)
        if (c != '\r') lf += c;
    const std::string path = scratch.write("wbook.vbk", lf + '\x1a' + "garbage that is never read");
    const Outcome run = bookmaker({"check", path, "--color", "white"});
    EXPECT_EQ(run.out, path + ": 4 entries, 4 distinct keys, book of White: no problems\n");
    EXPECT_EQ(run.status, 0);

    // The same answers are no moves of Black: read as a book of Black, each is reported.
    const Outcome as_black = bookmaker({"check", path, "--color", "black"});
    EXPECT_EQ(as_black.status, 1);
    EXPECT_TRUE(as_black.out.ends_with("book of Black: 4 problems\n")) << as_black.out;
}

TEST(Check, ABookOfBlackByItsAnswers) {
    Scratch scratch;
    const std::string path = scratch.write("bbook.vbk", entry("e4 e5 Nf3 Nc6", 1) + entry("e4 e5 Nf3 Nc6", 3));
    const Outcome run = bookmaker({"check", path});
    EXPECT_EQ(run.out, path + ": 2 entries, 2 distinct keys, book of Black (by its answers): no problems\n");
    EXPECT_EQ(run.status, 0);
}

TEST(Check, EmptyBookIsClean) {
    Scratch scratch;
    const Outcome run = bookmaker({"check", scratch.write("empty.vbk", "")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.ends_with(": 0 entries, 0 distinct keys, book of White (by its answers): no problems\n")) << run.out;
}

TEST(Check, AFileThatCannotBeReadExitsWithTwo) {
    Scratch scratch;
    const Outcome missing = bookmaker({"check", scratch.path("absent.vbk")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "bookmaker: " + scratch.path("absent.vbk") + ": cannot be read: No such file or directory\n");
    const Outcome folder = bookmaker({"check", scratch.path("")});
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("not a regular file"), std::string::npos) << folder.err;
}

}  // namespace
}  // namespace quill
