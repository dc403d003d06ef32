// pgn_games [--games N] [--first G] [--seed S] [--opening-plies K] [--max-plies M] [--random]
// pgn_games --replay FILE.pgn
//
// Writes games in PGN on standard output, each written as SAN by the notation library, for
// trying bookmaker on many games. Game g opens with K random legal moves drawn from a
// generator seeded with S and g, then engine-e (White) and engine-f (Black) play on with their
// own search, as their game loop plays it; with --random every move is drawn at random, which
// is quick enough for tens of thousands of games. A game ends at mate or stalemate, at the
// third time a position stands with the same side to move (a draw), or after M plies ("*").
// Each game depends only on S and its own number, so --first G --games N writes games G to
// G + N - 1 of any longer run exactly.
//
// --replay reads the games of a PGN file instead and prints the main line of each as the
// moves in coordinates that a user types to the engine (castling as the king's move), one
// game a line; it stops with status 1 at the first move that is not legal.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "builds/profiles.h"
#include "engine/constants.h"
#include "engine/search_impl.h"
#include "notation/legal_moves.h"
#include "notation/pgn.h"
#include "notation/san.h"

using namespace quill;

namespace {

struct Options {
    int games = 300;
    int first = 1;
    unsigned seed = 17;
    int opening_plies = 4;
    int max_plies = 120;
    bool random = false;
};

constexpr int REPETITIONS_TO_DRAW = 3;

// The index among `moves` of the move the engine of `side` plays by its search: the search's
// choice, or the first legal move when the choice is none of the legal moves (as the game
// loop replaces a choice that moves nothing or leaves the king attacked).
// The search context of one engine's searches, kept for the whole run as a program keeps its own.
template <const BuildProfile& P>
SearchContext<P>& search_context() {
    static const std::unique_ptr<SearchContext<P>> context = std::make_unique<SearchContext<P>>();
    return *context;
}

template <const BuildProfile& P>
std::size_t engine_choice(const GamePosition& position, const std::vector<LegalMove>& moves) {
    PositionRecord record = position.record;
    record.white_move_ordinal = record.black_move_ordinal = 0;
    generate_moves(record);
    SearchOutputs outputs;
    outputs.excluded_ordinal = EXCLUDE_NOTHING;
    search_root<P>(search_context<P>(), ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, record, position.side, outputs, 0);
    if (outputs.best_ordinal == NO_MOVE) return 0;
    const std::int32_t ordinal = outputs.choice_flag == 1 ? outputs.best_ordinal : outputs.second_ordinal;
    for (std::size_t i = 0; i < moves.size(); ++i)
        if (moves[i].ordinal == ordinal) return i;
    return 0;
}

std::string play_game(const Options& o, int number) {
    std::mt19937 generator(o.seed * 1000003u + static_cast<unsigned>(number));
    GamePosition position = start_position();
    std::vector<std::string> sans;
    std::map<std::pair<std::string, int>, int> seen;
    std::string result = "*";
    std::vector<GamePosition> after;
    for (int ply = 0; ply < o.max_plies; ++ply) {
        const BoardText text = text_of(position);
        if (++seen[{std::string(text.begin(), text.end()), position.side}] == REPETITIONS_TO_DRAW) {
            result = "1/2-1/2";
            break;
        }
        const std::vector<LegalMove> moves = legal_moves(position, &after);
        if (moves.empty()) {
            result = !in_check(position) ? "1/2-1/2" : position.side == WHITE ? "0-1" : "1-0";
            break;
        }
        std::size_t pick;
        if (o.random || ply < o.opening_plies) pick = generator() % moves.size();
        else if (position.side == WHITE) pick = engine_choice<ENGINE_E>(position, moves);
        else pick = engine_choice<ENGINE_F>(position, moves);
        sans.push_back(write_san(position, moves, moves[pick]));
        position = after[pick];
    }
    const std::vector<std::pair<std::string, std::string>> tags = {
        {"Event", o.random ? "Quillmoor random games" : "Quillmoor self-play"},
        {"Site", "-"},
        {"Date", "????.??.??"},
        {"Round", std::to_string(number)},
        {"White", o.random ? "random" : "engine-e"},
        {"Black", o.random ? "random" : "engine-f"},
        {"Result", result}};
    return write_pgn_game(tags, sans, result);
}

// Prints each game of the file as coordinate moves; 1 after a message when a move cannot be
// played or the file cannot be read.
int replay(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "pgn_games: cannot read " << path << '\n';
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bool failed = false;
    PgnReader reader(text, [&](int line, const std::string& message) {
        std::cerr << path << ':' << line << ": " << message << '\n';
        failed = true;
    });
    PgnGame game;
    while (!failed && reader.next(game)) {
        GamePosition position = start_position();
        std::string line;
        for (const PgnMove& move : game.moves) {
            const std::vector<LegalMove> moves = legal_moves(position);
            const SanMatch match = resolve_san(move.san, position, moves);
            if (match.status != SanStatus::Found) {
                std::cerr << path << ':' << move.line << ": " << match.message << '\n';
                return 1;
            }
            if (!line.empty()) line += ' ';
            line += coordinate_text(moves[match.index]);
            position = play_move(position, moves[match.index]);
        }
        std::cout << line << '\n';
    }
    return failed ? 1 : 0;
}

int usage() {
    std::cerr << "usage: pgn_games [--games N] [--first G] [--seed S] [--opening-plies K] [--max-plies M] [--random]\n"
                 "       pgn_games --replay FILE.pgn\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--replay") return replay(argv[2]);
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--games" && has_value) o.games = std::atoi(argv[++i]);
        else if (a == "--first" && has_value) o.first = std::atoi(argv[++i]);
        else if (a == "--seed" && has_value) o.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--opening-plies" && has_value) o.opening_plies = std::atoi(argv[++i]);
        else if (a == "--max-plies" && has_value) o.max_plies = std::atoi(argv[++i]);
        else if (a == "--random") o.random = true;
        else return usage();
    }
    if (o.games < 1 || o.first < 1 || o.opening_plies < 0 || o.max_plies < 1) return usage();
    std::ios::sync_with_stdio(false);
    for (int g = o.first; g < o.first + o.games; ++g) std::cout << play_game(o, g);
    return std::cout.flush() ? 0 : 1;
}
