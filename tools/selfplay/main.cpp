// selfplay WHITE BLACK REFEREE [--games N] [--plies N] [--timeout SECONDS] [--openings m1,m2,...]
//                              [--books DIR [--book-offset N]]
//
// Plays games between two engine builds through their console protocols: WHITE is started
// with "go", BLACK answers the moves relayed to it, and every move is judged by REFEREE
// (movecheck) and by the rules of chess of the tests' referee. Each game stops at the
// verdict or after the ply limit. Game i opens with the i-th of the openings (taken
// round-robin) as White's book move. With --books, both engines play from the books in DIR
// (wbook.vbk, bbook.vbk), or, when DIR holds folders, from the books of its folders in name
// order, game i taking folder i + N (round-robin; N is --book-offset, default 0). Prints one report per game and a summary that names the
// slowest reply and the moves before it; exits with 1 when any move was illegal, missing or
// not made within the reply time, or the two referees disagreed, 2 on bad usage.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    std::vector<std::string> book_folders;  // one per game, round-robin
    int book_offset = 0;
};

// The book folders of --books DIR: its subfolders in name order, or DIR itself.
std::vector<std::string> book_folders(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(dir, error)) return {};
    std::vector<std::string> folders;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error))
        if (entry.is_directory()) folders.push_back(entry.path().string());
    std::sort(folders.begin(), folders.end());
    if (folders.empty()) folders.push_back(dir);
    return folders;
}

int usage() {
    std::cerr << "usage: selfplay WHITE BLACK REFEREE [--games N] [--plies N] [--timeout SECONDS] "
                 "[--openings e2e4,d2d4,...] [--books DIR [--book-offset N]]\n";
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
        } else if (arg == "--book-offset" && has_value) {
            options.book_offset = std::atoi(argv[++i]);
        } else if (arg == "--books" && has_value) {
            options.book_folders = book_folders(argv[++i]);
            if (options.book_folders.empty()) return false;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || options.games < 1 || options.book_offset < 0 || options.match.max_plies < 1 || options.match.reply_timeout <= 0) return false;
    options.match.white = positional[0];
    options.match.black = positional[1];
    options.match.referee = positional[2];
    return true;
}

void print_report(int number, const Options& options, const GameReport& game) {
    std::cout << "game " << number << ": " << program_name(options.match.white) << " (White) vs "
              << program_name(options.match.black) << " (Black)";
    if (!game.opening.empty()) std::cout << ", opening " << game.opening;
    if (!game.books.empty()) std::cout << ", books " << game.books;
    std::cout << ": " << game.moves.size() << " plies, " << describe(game.end);
    if (!game.fault.empty()) std::cout << " (" << game.fault << ")";
    if (game.slowest_ply >= 0) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", game.slowest_reply);
        std::cout << ", slowest reply " << seconds << " s at ply " << game.slowest_ply + 1;
    }
    std::cout << "\n  moves:";
    for (const std::string& move : game.moves) std::cout << ' ' << move;
    std::cout << '\n';
    if (!game.position.empty()) std::cout << "  position: " << game.position << '\n';
    std::cout << std::flush;
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

    int plies = 0, white_wins = 0, black_wins = 0, draws = 0, unfinished = 0, illegal = 0, missing = 0, slow = 0,
        disagreements = 0;
    double slowest_by_side[2] = {0.0, 0.0};
    SlowestReply slowest;
    for (int i = 0; i < options.games; ++i) {
        const auto game_index = static_cast<std::size_t>(i);
        const std::string opening = options.openings.empty() ? "" : options.openings[game_index % options.openings.size()];
        if (!options.book_folders.empty())
            options.match.books =
                options.book_folders[(game_index + static_cast<std::size_t>(options.book_offset)) % options.book_folders.size()];
        GameReport game = play_game(options.match, opening);
        game.books = options.match.books;
        for (int side = 0; side < 2; ++side) slowest_by_side[side] = std::max(slowest_by_side[side], game.slowest_by_side[side]);
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
            case GameEnd::Disagreement: ++disagreements; break;
            case GameEnd::MissingMove:
            case GameEnd::StartFailure: ++missing; break;
        }
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", slowest.seconds < 0 ? 0.0 : slowest.seconds);
    std::cout << "summary: " << options.games << " games, " << plies << " plies; 1-O " << white_wins << ", O-1 "
              << black_wins << ", DRAW " << draws << ", unfinished " << unfinished << "; illegal moves " << illegal
              << ", missing moves " << missing << ", no move in time " << slow << ", referees disagree " << disagreements
              << "; slowest reply " << seconds << " s";
    for (int side = 0; side < 2; ++side) {
        std::snprintf(seconds, sizeof seconds, "%.2f", slowest_by_side[side]);
        std::cout << (side == 0 ? "; slowest White reply " : ", slowest Black reply ") << seconds << " s";
    }
    std::cout << '\n';
    print_slowest(options, slowest);
    return illegal == 0 && missing == 0 && slow == 0 && disagreements == 0 ? 0 : 1;
}
