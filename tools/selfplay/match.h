// One game between two engine builds through their console protocol, every move judged by
// the move checker and by the independent referee of the tests (tests/oracles).
#pragma once

#include <string>
#include <vector>

namespace quill::selfplay {

struct MatchSettings {
    std::string white;      // path of the engine that plays White (started with "go")
    std::string black;      // path of the engine that plays Black
    std::string referee;    // path of movecheck
    std::string books;      // a folder whose wbook.vbk and bbook.vbk both engines use ("" for none)
    int max_plies = 100;    // the game is stopped unfinished after this many plies
    double reply_timeout = 60.0;  // seconds an engine may take for one move
};

// How a game ended: the referee's verdict, the ply limit, or a fault of one side. A side
// that ends or closes its output without a move has a MissingMove; one that is still
// thinking when the reply time runs out has a SlowMove.
// When movecheck and the referee judge a move or the end of the game differently, the game
// ends in Disagreement.
enum class GameEnd { WhiteWins, BlackWins, Draw, PlyLimit, IllegalMove, MissingMove, SlowMove, Disagreement, StartFailure };

struct GameReport {
    std::string opening;             // White's first move, taken from its book ("" for none)
    std::vector<std::string> moves;  // every move the referee accepted, in order
    GameEnd end = GameEnd::PlyLimit;
    std::string fault;               // for IllegalMove, MissingMove, SlowMove, StartFailure: what happened
    std::string position;            // FEN of the position in which a fault happened
    std::string books;               // the book folder the game was played with
    double slowest_reply = 0.0;      // seconds
    int slowest_ply = -1;            // index in `moves` of the slowest reply
    double slowest_by_side[2] = {0.0, 0.0};  // White's and Black's slowest reply, seconds
};

// Plays one game in a fresh scratch directory, with the books of settings.books copied there.
// With an `opening` (four characters such as "d2d4") White's first move comes from an entry
// put first in the white book, so that deterministic builds can be made to play different
// games.
GameReport play_game(const MatchSettings& settings, const std::string& opening);

// "1-O", "O-1", "DRAW", "unfinished", "illegal move", "missing move", "no move in time",
// "referees disagree" or "not started".
const char* describe(GameEnd end);

// True when `move` names two squares, such as e2e4.
bool is_square_pair(const std::string& move);

}  // namespace quill::selfplay
