// bookmaker from-pgn: which positions become keys, which answer each key gets, the order of
// the entries, what is left out with a warning, and how the book is written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "bookmaker_test_support.h"
#include "console/arguments.h"

namespace quill {
namespace {

using namespace test;

struct FromPgn : ::testing::Test {
    Scratch scratch;
    Outcome make(const std::string& pgn, std::vector<std::string> options) {
        options.insert(options.begin(), "from-pgn");
        options.push_back(scratch.write("games.pgn", pgn));
        return bookmaker(options);
    }
};

TEST_F(FromPgn, EveryPositionOfTheColourWithinThePliesInTheOrderMet) {
    const Outcome run = make("1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n1. e4 c5 2. Nf3 *\n", {"--color", "white", "--plies", "4"});
    EXPECT_EQ(run.status, 0);
    // Ply 4 (3.Bb5) is past the limit; 1.e4 c5 comes after the keys of the first game.
    EXPECT_EQ(run.out, entry("e4 e5 Nf3", 0) + entry("e4 e5 Nf3", 2) + entry("e4 c5 Nf3", 2));
    EXPECT_EQ(run.err, "bookmaker: 2 games read, 3 entries for White\n");

    const Outcome black = make("1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n1. e4 c5 2. Nf3 *\n", {"--color", "black"});
    // After 1.e4 the two games tie: 1...e5 was met first.
    EXPECT_EQ(black.out, entry("e4 e5 Nf3 Nc6", 1) + entry("e4 e5 Nf3 Nc6", 3));
}

TEST_F(FromPgn, TheAnswerPlayedInMostGamesWinsAndTheFirstMetOnATie) {
    EXPECT_EQ(make("1. d4 *\n1. e4 *\n1. e4 *\n", {"--color", "white"}).out, entry("e4", 0));
    EXPECT_EQ(make("1. c4 Nf6 *\n1. c4 e5 *\n1. c4 d5 *\n1. c4 e5 *\n", {"--color", "black"}).out, entry("c4 e5", 1))
        << "two games of 1...e5 beat one of 1...Nf6";
    EXPECT_EQ(make("1. c4 Nf6 *\n1. c4 e5 *\n", {"--color", "black"}).out, entry("c4 Nf6", 1));
}

TEST_F(FromPgn, MinGamesDropsAnswersPlayedInFewerGames) {
    const std::string pgn = "1. e4 e5 2. Nf3 *\n1. e4 e5 2. Nc3 *\n1. e4 e5 2. Nf3 *\n1. d4 *\n";
    const Outcome run = make(pgn, {"--color", "white", "--min-games", "2"});
    EXPECT_EQ(run.out, entry("e4 e5 Nf3", 0) + entry("e4 e5 Nf3", 2));
    EXPECT_EQ(make(pgn, {"--color", "white", "--min-games", "3"}).out, entry("e4", 0));
    EXPECT_EQ(make(pgn, {"--color", "white", "--min-games", "4"}).out, "");
}

TEST_F(FromPgn, AGameCountsOnceForAPositionItRepeats) {
    // The knights go out and back twice: White's answer Nf3 stands three times in one game,
    // 1.d4 once in each of two others.
    const std::string shuffle = "1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 *\n";
    const Outcome run = make(shuffle + "1. d4 *\n1. d4 *\n", {"--color", "white"});
    EXPECT_EQ(run.out.substr(0, 132), entry("d4", 0));
}

TEST_F(FromPgn, VariationsOnlyWhenAskedFor) {
    const std::string pgn = "1. e4 e5 (1... c5 2. Nf3 (2. c3) d6) 2. Nf3 *\n";
    EXPECT_EQ(make(pgn, {"--color", "white"}).out, entry("e4 e5 Nf3", 0) + entry("e4 e5 Nf3", 2));
    // A variation is read where it stands, before the main line goes on. 2.c3 replaces 2.Nf3
    // after 1.e4 c5, whose key was met first with 2.Nf3.
    EXPECT_EQ(make(pgn, {"--color", "white", "--variations"}).out,
              entry("e4 e5 Nf3", 0) + entry("e4 c5 Nf3", 2) + entry("e4 e5 Nf3", 2));
    EXPECT_EQ(make(pgn, {"--color", "black", "--variations"}).out, entry("e4 e5", 1) + entry("e4 c5 Nf3 d6", 3));
}

TEST_F(FromPgn, ALineStopsBeforeAMoveItCannotPlayWithAWarning) {
    const std::string pgn =
        "[Event \"one\"]\n\n1. e4 e5 2. Nf5 Nc6 *\n"
        "[Event \"two\"]\n\n1. a4 b5 2. axb5 Nf6 3. b6 Ng8 4. b7 Nf6 5. bxa8=N Ng8 *\n"
        "[Event \"three\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n\n1. Kd2 *\n"
        "[Event \"four\"]\n[SetUp \"1\"]\n[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\"]\n\n1. Nc3 *\n";
    const Outcome run = make(pgn, {"--color", "white"});
    EXPECT_EQ(run.status, 0);
    const std::string file = scratch.path("games.pgn");
    EXPECT_EQ(run.err, "bookmaker: " + file + ":3: 'Nf5' is not a legal move of White here (move 2.); the game is read up to it\n"
                       "bookmaker: " + file + ":6: 'bxa8=N' promotes to another piece than a queen, and the engine promotes "
                       "to a queen only (move 5.); the game is read up to it\n"
                       "bookmaker: " + file + ":7: the game starts from a set-up position (FEN tag) and is left out\n"
                       "bookmaker: 4 games read (1 left out), 4 entries for White, 3 warnings\n");
    const std::string under = "a4 b5 axb5 Nf6 b6 Ng8 b7 Nf6";
    EXPECT_EQ(run.out, entry("e4", 0) + entry(under, 2) + entry(under, 4) + entry(under, 6));
}

TEST_F(FromPgn, OutputFileIsReplacedWholeOrNotAtAll) {
    const std::string book = scratch.write("wbook.vbk", "the old book\n");
    ::chmod(book.c_str(), 0640);
    const Outcome run = make("1. e4 *\n", {"--color", "white", "-o", book});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(scratch.read("wbook.vbk"), entry("e4", 0));
    struct stat info {};
    ASSERT_EQ(::stat(book.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the book keeps its permissions";

    // One unreadable input among the files: no book is written, the old one stays.
    const Outcome failed = bookmaker({"from-pgn", "--color", "black", "-o", book, scratch.path("games.pgn"), scratch.path("absent.pgn")});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err, "bookmaker: " + scratch.path("absent.pgn") + ": cannot be read: No such file or directory\n"
                          "bookmaker: no book was written\n");
    EXPECT_EQ(scratch.read("wbook.vbk"), entry("e4", 0));

    const Outcome into_folder = make("1. e4 *\n", {"--color", "white", "-o", scratch.path("no/such/folder/w.vbk")});
    EXPECT_EQ(into_folder.status, 2);
    EXPECT_NE(into_folder.err.find("nothing was written"), std::string::npos) << into_folder.err;
    for (const auto& file : std::filesystem::directory_iterator(scratch.path("")))
        EXPECT_EQ(file.path().filename().string().rfind(".bookmaker-", 0), std::string::npos) << "no temporary file is left";
}

struct Usage {
    const char* name;
    std::vector<std::string> args;
    const char* why;
};
void PrintTo(const Usage& u, std::ostream* out) { *out << u.name; }

class BadCommandLine : public ::testing::TestWithParam<Usage> {};

TEST_P(BadCommandLine, ExitsWithTwoAndTheUsage) {
    const Outcome run = bookmaker(GetParam().args);
    EXPECT_EQ(run.status, BOOKMAKER_USAGE);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), std::string("bookmaker: ") + GetParam().why);
    EXPECT_NE(run.err.find("usage: bookmaker from-pgn"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Words, BadCommandLine,
    ::testing::Values(Usage{"Nothing", {}, "no command given"}, Usage{"UnknownCommand", {"make"}, "unknown command make"},
                      Usage{"NoColour", {"from-pgn", "a.pgn"}, "from-pgn needs --color white or --color black"},
                      Usage{"BadColour", {"from-pgn", "--color", "red", "a.pgn"}, "--color takes white or black"},
                      Usage{"NoFiles", {"from-pgn", "--color", "white"}, "from-pgn needs at least one PGN file"},
                      Usage{"ZeroPlies", {"from-pgn", "--color", "white", "--plies", "0", "a.pgn"},
                            "--plies takes a number of plies from 1 to 1000"},
                      Usage{"PliesNotANumber", {"from-pgn", "--color", "white", "--plies", "12x", "a.pgn"},
                            "--plies takes a number of plies from 1 to 1000"},
                      Usage{"NegativeMinGames", {"from-pgn", "--color", "white", "--min-games", "-1", "a.pgn"},
                            "--min-games takes a number of games of at least 1"},
                      Usage{"OutputWithoutName", {"from-pgn", "--color", "white", "a.pgn", "-o"}, "-o takes the name of the book to write"},
                      Usage{"UnknownOption", {"check", "--fast", "w.vbk"}, "unknown option --fast"},
                      Usage{"TwoBooks", {"show", "w.vbk", "b.vbk"}, "show reads one book at a time"},
                      Usage{"NoBook", {"check"}, "check needs the book to read"},
                      Usage{"ShowHasNoColour", {"show", "w.vbk", "--color", "white"}, "unknown option --color"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, VersionAndHelpGoToStandardOutput) {
    const Outcome version = bookmaker({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "bookmaker (Quillmoor) " + std::string(package_version()) + "\n");
    EXPECT_EQ(version.err, "");
    const Outcome help = bookmaker({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: bookmaker from-pgn", 0), 0u);
}

}  // namespace
}  // namespace quill
