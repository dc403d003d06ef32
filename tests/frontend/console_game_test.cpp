// The console game played through streams against the real engine-a and movecheck: the game
// it shows and the PGN it saves must be the same game, move by move, and that PGN must read
// back with the PGN reader and replay legally from the start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/console_game.h"
#include "notation/legal_moves.h"
#include "notation/pgn.h"
#include "notation/san.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

struct ShownMove {
    std::string san, coordinates;
};

// The moves a transcript shows, the player's and the engine's, in order: lines such as
// "You: 1. e4 (e2e4)" and "engine-a: 1... e5 (e7e5)".
std::vector<ShownMove> shown_moves(const std::string& transcript) {
    std::vector<ShownMove> moves;
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("You: ") && !line.starts_with("engine-a: ")) continue;
        std::istringstream words(line);
        std::string who, number, san, coordinates;
        words >> who >> number >> san >> coordinates;
        if (number.empty() || number.back() != '.' || coordinates.size() != 6) continue;
        moves.push_back({san, coordinates.substr(1, 4)});
    }
    return moves;
}

// Plays the lines in a fresh folder without books and returns the transcript; `pgn` is
// written there by a "pgn" line.
std::string play(const std::string& input, const fs::path& folder) {
    ConsoleGameOptions options;
    options.program_folder = QUILL_PROGRAMS;
    options.build = "engine-a";
    options.folder = folder.string();
    options.show_times = false;
    std::istringstream in(input);
    std::ostringstream out;
    EXPECT_EQ(run_console_game(options, in, out), 0);
    return out.str();
}

class SavedGame : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("quillmoor-game-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(SavedGame, IsTheGameShownAndReplaysFromTheStart) {
    const fs::path pgn_file = folder_ / "game.pgn";
    // Some of these may be illegal when the engine's replies come; the game is whatever was
    // played, and the test compares what was shown with what was saved.
    const std::string transcript =
        play("e4\nNf3\nBc4\nO-O\nd4\nNc3\nBg5\nQd2\nRe1\npgn " + pgn_file.string() + "\nquit\n", folder_);
    const std::vector<ShownMove> shown = shown_moves(transcript);
    ASSERT_GE(shown.size(), 10u) << transcript;

    std::ifstream file(pgn_file);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> warnings;
    PgnReader reader(text, [&](int line, const std::string& message) {
        warnings.push_back(std::to_string(line) + ": " + message);
    });
    PgnGame game;
    ASSERT_TRUE(reader.next(game)) << text;
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_EQ(game.result, "*");
    EXPECT_EQ(game.tag("White"), "Player");
    EXPECT_EQ(game.tag("Black"), "Quillmoor engine-a");
    ASSERT_EQ(game.moves.size(), shown.size()) << text << transcript;

    GamePosition position = start_position();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE("move " + std::to_string(i + 1) + " " + shown[i].san);
        EXPECT_EQ(game.moves[i].san, shown[i].san);
        const std::vector<LegalMove> moves = legal_moves(position);
        const SanMatch match = resolve_san(game.moves[i].san, position, moves);
        ASSERT_EQ(match.status, SanStatus::Found) << match.message;
        EXPECT_EQ(coordinate_text(moves[match.index]), shown[i].coordinates);
        position = play_move(position, moves[match.index]);
    }
    EXPECT_FALSE(reader.next(game));
}

TEST_F(SavedGame, AFileThatCannotBeWrittenIsReported) {
    const std::string transcript = play("e4\npgn " + (folder_ / "no" / "such.pgn").string() + "\n", folder_);
    EXPECT_NE(transcript.find("Cannot write " + (folder_ / "no" / "such.pgn").string()), std::string::npos)
        << transcript;
}

}  // namespace
}  // namespace quill
