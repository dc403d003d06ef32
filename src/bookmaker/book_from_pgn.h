// Turning games into book entries: every position of the book's colour within the first
// plies of each game, answered by the move played there most often.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "board/types.h"
#include "notation/legal_moves.h"
#include "notation/pgn.h"

namespace quill {

struct FromPgnOptions {
    Color color = WHITE;
    int plies = 30;         // positions within this many plies of the start are entered
    int min_games = 1;      // answers played in fewer games are dropped
    bool variations = false;
};

// Told about a move or game that is left out, with the line of the file it stands on.
using ReplayWarning = std::function<void(int line, const std::string& message)>;

class BookCollector {
public:
    explicit BookCollector(const FromPgnOptions& options) : options_(options) {}

    // Replays one game with the engine's legal moves and notes the answer played in each
    // position of the book's colour. A move that is no legal move, or an under-promotion,
    // ends the game (or the variation) before it, with a warning.
    void add_game(const PgnGame& game, const ReplayWarning& warn);

    // The book: for each key in the order first met, the answer played in the most games
    // (the first met on a tie) among those played in at least min_games games; keys left
    // with no answer are dropped. Records are 64 characters and CR LF.
    std::string book() const;

    int games() const { return games_; }
    int games_skipped() const { return games_skipped_; }
    int entries() const;

private:
    struct Answer {
        BoardText text;
        int games = 0;
        int order = 0;      // when it was first met, over the whole run
        int last_game = 0;  // the last game that counted it
    };
    struct Key {
        BoardText text;
        std::vector<Answer> answers;
    };

    void replay(const PgnLine& line, GamePosition position, int ply, bool variation, const ReplayWarning& warn);
    void note(const BoardText& key, const BoardText& answer);
    const Answer* chosen(const Key& key) const;

    FromPgnOptions options_;
    std::vector<Key> keys_;
    std::unordered_map<std::string, int> key_index_;
    int games_ = 0;
    int games_skipped_ = 0;
    int answers_met_ = 0;
};

}  // namespace quill
