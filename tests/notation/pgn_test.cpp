// The PGN reader on the text players and databases write: tags with escapes, comments of both
// kinds, NAGs, nested variations, move numbers in every form, several games per line or file,
// CR LF, a missing final newline, and garbage between and inside games.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notation/pgn.h"

namespace quill {
namespace {

struct Read {
    std::vector<PgnGame> games;
    std::vector<std::string> warnings;  // "line: message"
};

Read read_all(const std::string& text) {
    Read r;
    PgnReader reader(text, [&r](int line, const std::string& message) {
        r.warnings.push_back(std::to_string(line) + ": " + message);
    });
    PgnGame game;
    while (reader.next(game)) r.games.push_back(game);
    return r;
}

// The SAN words of a line, space-separated.
std::string words(const PgnLine& line) {
    std::string s;
    for (const PgnMove& m : line) s += (s.empty() ? "" : " ") + m.san;
    return s;
}

TEST(PgnReader, TagsCommentsNagsAndNumbers) {
    const Read r = read_all(
        "[Event \"A \\\"quoted\\\" name\"]\n"
        "[Site \"back\\\\slash\"]\n"
        "[White \"x\"] [Black \"y\"]\n"
        "\n"
        "1. e4 {the king's pawn,\n spanning lines} e5 $1 2.Nf3 ; to the end of the line 3. Bb5\n"
        "Nc6 $14 3... a6?! 4.Ba4!! 4...Nf6 5. O-O+ Be7 1-0\n");
    ASSERT_EQ(r.games.size(), 1u);
    const PgnGame& g = r.games[0];
    EXPECT_EQ(g.tag("Event"), "A \"quoted\" name");
    EXPECT_EQ(g.tag("Site"), "back\\slash");
    EXPECT_EQ(g.tag("White"), "x");
    EXPECT_EQ(g.tag("Black"), "y");
    EXPECT_EQ(words(g.moves), "e4 e5 Nf3 Nc6 a6?! Ba4!! Nf6 O-O+ Be7");
    EXPECT_EQ(g.result, "1-0");
    EXPECT_EQ(g.first_line, 1);
    EXPECT_EQ(g.moves[1].line, 6) << "a comment over two lines counts its line end";
    EXPECT_EQ(g.moves[3].line, 7);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(PgnReader, NestedVariationsHangOnTheMoveTheyReplace) {
    const Read r = read_all("1. e4 e5 (1... c5 2. Nf3 (2. c3 d5) 2... d6) (1... e6) 2. Nf3 *");
    ASSERT_EQ(r.games.size(), 1u);
    const PgnLine& main = r.games[0].moves;
    EXPECT_EQ(words(main), "e4 e5 Nf3");
    ASSERT_EQ(main[1].variations.size(), 2u);
    EXPECT_EQ(words(main[1].variations[0]), "c5 Nf3 d6");
    EXPECT_EQ(words(main[1].variations[1]), "e6");
    ASSERT_EQ(main[1].variations[0][1].variations.size(), 1u);
    EXPECT_EQ(words(main[1].variations[0][1].variations[0]), "c3 d5");
    EXPECT_TRUE(main[0].variations.empty());
    EXPECT_EQ(r.games[0].result, "*");
}

TEST(PgnReader, GamesWithoutTagsTwoOnALineAndNoFinalNewline) {
    const Read r = read_all("1. d4 d5 1/2-1/2 1. e4 c5 0-1\r\n\r\n[Event \"third\"]\r\n\r\n1. c4 e5 2. Nc3");
    ASSERT_EQ(r.games.size(), 3u);
    EXPECT_EQ(words(r.games[0].moves), "d4 d5");
    EXPECT_EQ(r.games[0].result, "1/2-1/2");
    EXPECT_EQ(words(r.games[1].moves), "e4 c5");
    EXPECT_EQ(r.games[1].result, "0-1");
    EXPECT_EQ(r.games[2].tag("Event"), "third");
    EXPECT_EQ(words(r.games[2].moves), "c4 e5 Nc3") << "the last move before the end of the file";
    EXPECT_EQ(r.games[2].result, "");
    EXPECT_EQ(r.games[2].first_line, 3);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(PgnReader, TagsAfterMovesStartTheNextGame) {
    const Read r = read_all("[Event \"a\"]\n1. e4 e5\n[Event \"b\"]\n1. d4 *\n");
    ASSERT_EQ(r.games.size(), 2u);
    EXPECT_EQ(words(r.games[0].moves), "e4 e5");
    EXPECT_EQ(r.games[1].tag("Event"), "b");
    EXPECT_EQ(words(r.games[1].moves), "d4");
}

TEST(PgnReader, GarbageBetweenGamesIsSkippedWithOneWarning) {
    const Read r = read_all(
        "[Event \"one\"]\n1. e4 e5 1-0\n"
        "This is no game at all: <html> & so on\n"
        "%escaped line 1. a3 a6 *\n"
        "[Event \"two\"]\n1. d4 d5 0-1\n");
    ASSERT_EQ(r.games.size(), 2u);
    EXPECT_EQ(words(r.games[0].moves), "e4 e5");
    EXPECT_EQ(r.games[1].tag("Event"), "two");
    EXPECT_EQ(words(r.games[1].moves), "d4 d5");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], "3: text that is no game is skipped, from 'This'");
}

TEST(PgnReader, AWordThatIsNoMoveCutsTheGameThere) {
    const Read r = read_all("1. e4 e5 2. Nf3 <oops> Nc6 3. Bb5 1-0\n1. d4 *\n");
    ASSERT_EQ(r.games.size(), 2u);
    EXPECT_EQ(words(r.games[0].moves), "e4 e5 Nf3");
    EXPECT_EQ(r.games[0].cut_line, 1);
    EXPECT_EQ(r.games[0].result, "1-0");
    EXPECT_EQ(words(r.games[1].moves), "d4");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], "1: '<oops>' is not a move; the game is read up to it");
}

TEST(PgnReader, BrokenPiecesAreToldAndSkipped) {
    const Read r = read_all(
        "[Event \"no closing quote]\n"
        "1. e4 ) e5 (2. d4 xyzzy 2... Nf6) 2. Nf3 {never closed\n1. d4 *\n");
    ASSERT_EQ(r.games.size(), 1u);
    EXPECT_EQ(words(r.games[0].moves), "e4 e5 Nf3");
    EXPECT_EQ(words(r.games[0].moves[1].variations.at(0)), "d4");
    const std::vector<std::string> expected = {
        "1: a tag pair that is not [Name \"value\"] is skipped",
        "2: a ')' that closes no variation is skipped",
        "2: 'xyzzy' is not a move; the variation is read up to it",
        "2: a comment opened here is never closed",
    };
    EXPECT_EQ(r.warnings, expected);
}

TEST(PgnReader, VariationsNestedTooDeeplyAreSkippedWithoutHarm) {
    std::string text = "1. e4 e5 ";
    for (int i = 0; i < 10000; ++i) text += "( e6 ";
    for (int i = 0; i < 10000; ++i) text += ") ";
    text += "2. Nf3 *";
    const Read r = read_all(text);
    ASSERT_EQ(r.games.size(), 1u);
    EXPECT_EQ(words(r.games[0].moves), "e4 e5 Nf3");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], "1: variations nested this deeply are skipped");
}

TEST(PgnReader, EmptyAndBlankTextsHoldNoGame) {
    EXPECT_TRUE(read_all("").games.empty());
    EXPECT_TRUE(read_all(" \r\n\t\n{only a comment}\n; and another\n").games.empty());
}

TEST(PgnWriter, WritesWhatTheReaderReadsBack) {
    std::vector<std::string> moves;
    for (int i = 0; i < 60; ++i) moves.push_back(i % 2 ? "Nxf6+" : "O-O-O");
    const std::string text = write_pgn_game({{"Event", "say \"hi\" \\ bye"}, {"Round", "1"}}, moves, "1/2-1/2");
    EXPECT_EQ(text.substr(0, 49), "[Event \"say \\\"hi\\\" \\\\ bye\"]\n[Round \"1\"]\n\n1. O-O-O");
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        EXPECT_LT(nl - start, 80u) << "every line fits in 79 columns";
    const Read r = read_all(text + text);
    ASSERT_EQ(r.games.size(), 2u);
    EXPECT_EQ(r.games[1].tag("Event"), "say \"hi\" \\ bye");
    ASSERT_EQ(r.games[1].moves.size(), moves.size());
    for (std::size_t i = 0; i < moves.size(); ++i) EXPECT_EQ(r.games[1].moves[i].san, moves[i]);
    EXPECT_EQ(r.games[1].result, "1/2-1/2");
}

}  // namespace
}  // namespace quill
