// selfplay WHITE BLACK REFEREE [--games N] [--plies N] [--timeout SECONDS] [--openings m1,m2,...]
//
// Plays games between two engine builds through their console protocols: WHITE is started
// with "go", BLACK answers the moves relayed to it, and every move is judged by REFEREE
// (movecheck). Each game stops at the referee's verdict or after the ply limit. Game i opens
// with the i-th of the openings (taken round-robin) as White's book move. Prints one report
// per game and a summary that names the slowest reply and the moves before it; exits with 1
// when any move was illegal, missing or not made within the reply time, 2 on bad usage.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "match.h"

using namespace quill::selfplay;

namespace {

struct Options {
    MatchSettings match;
    int games = 1;
    std::vector<std::string> openings;
};

int usage() {
    std::cerr << "usage: selfplay WHITE BLACK REFEREE [--games N] [--plies N] [--timeout SECONDS] "
                 "[--openings e2e4,d2d4,...]\n";
    return 2;
}

std::string program_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool parse_options(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--games" && has_value) {
            options.games = std::atoi(argv[++i]);
        } else if (arg == "--plies" && has_value) {
            options.match.max_plies = std::atoi(argv[++i]);
        } else if (arg == "--timeout" && has_value) {
            options.match.reply_timeout = std::atof(argv[++i]);
        } else if (arg == "--openings" && has_value) {
            std::stringstream list(argv[++i]);
            for (std::string move; std::getline(list, move, ',');) {
                if (!is_square_pair(move)) return false;
                options.openings.push_back(move);
            }
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || options.games < 1 || options.match.max_plies < 1 || options.match.reply_timeout <= 0) return false;
    options.match.white = positional[0];
    options.match.black = positional[1];
    options.match.referee = positional[2];
    return true;
}

void print_report(int number, const Options& options, const GameReport& game) {
    std::cout << "game " << number << ": " << program_name(options.match.white) << " (White) vs "
              << program_name(options.match.black) << " (Black)";
    if (!game.opening.empty()) std::cout << ", opening " << game.opening;
    std::cout << ": " << game.moves.size() << " plies, " << describe(game.end);
    if (!game.fault.empty()) std::cout << " (" << game.fault << ")";
    if (game.slowest_ply >= 0) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", game.slowest_reply);
        std::cout << ", slowest reply " << seconds << " s at ply " << game.slowest_ply + 1;
    }
    std::cout << "\n  moves:";
    for (const std::string& move : game.moves) std::cout << ' ' << move;
    std::cout << '\n' << std::flush;
}

// The position of the slowest reply over all games: where it was, and the moves before it.
struct SlowestReply {
    double seconds = -1.0;
    int game = 0;
    int ply = -1;
    std::vector<std::string> before;
};

void print_slowest(const Options& options, const SlowestReply& slowest) {
    if (slowest.ply < 0) return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", slowest.seconds);
    const bool white = slowest.ply % 2 == 0;
    std::cout << "slowest reply: " << seconds << " s, game " << slowest.game << ", ply " << slowest.ply + 1 << ", "
              << program_name(white ? options.match.white : options.match.black) << " as " << (white ? "White" : "Black")
              << ", after:";
    if (slowest.before.empty()) std::cout << " (start position)";
    for (const std::string& move : slowest.before) std::cout << ' ' << move;
    std::cout << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) return usage();
    // A program that dies must not take us with it when we write to it.
    std::signal(SIGPIPE, SIG_IGN);

    int plies = 0, white_wins = 0, black_wins = 0, draws = 0, unfinished = 0, illegal = 0, missing = 0, slow = 0;
    SlowestReply slowest;
    for (int i = 0; i < options.games; ++i) {
        const std::string opening = options.openings.empty() ? "" : options.openings[static_cast<std::size_t>(i) % options.openings.size()];
        const GameReport game = play_game(options.match, opening);
        print_report(i + 1, options, game);
        plies += static_cast<int>(game.moves.size());
        if (game.slowest_ply >= 0 && game.slowest_reply > slowest.seconds) {
            slowest.seconds = game.slowest_reply;
            slowest.game = i + 1;
            slowest.ply = game.slowest_ply;
            slowest.before.assign(game.moves.begin(), game.moves.begin() + game.slowest_ply);
        }
        switch (game.end) {
            case GameEnd::WhiteWins: ++white_wins; break;
            case GameEnd::BlackWins: ++black_wins; break;
            case GameEnd::Draw: ++draws; break;
            case GameEnd::PlyLimit: ++unfinished; break;
            case GameEnd::IllegalMove: ++illegal; break;
            case GameEnd::SlowMove: ++slow; break;
            case GameEnd::MissingMove:
            case GameEnd::StartFailure: ++missing; break;
        }
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", slowest.seconds < 0 ? 0.0 : slowest.seconds);
    std::cout << "summary: " << options.games << " games, " << plies << " plies; 1-O " << white_wins << ", O-1 "
              << black_wins << ", DRAW " << draws << ", unfinished " << unfinished << "; illegal moves " << illegal
              << ", missing moves " << missing << ", no move in time " << slow << "; slowest reply " << seconds << " s\n";
    print_slowest(options, slowest);
    return illegal == 0 && missing == 0 && slow == 0 ? 0 : 1;
}
