#include "match.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include <unistd.h>

#include "frontend/child_process.h"
#include "referee.h"

namespace quill::selfplay {

namespace {

constexpr std::string_view START_TEXT =
    "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";
constexpr double REFEREE_TIMEOUT = 30.0;  // movecheck answers at once; this only guards a hang

// Index of a square in a board text: a8 first, h1 last.
std::size_t text_index(char file, char rank) {
    return static_cast<std::size_t>((8 - (rank - '0')) * 8 + (file - 'a'));
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Puts the books of `books` (if any) into the game's directory; with an `opening`, an entry
// answering the start position with that move comes first in the white book, where it wins
// over any other answer to the start position.
bool write_books(const std::string& dir, const std::string& books, const std::string& opening) {
    std::string white = books.empty() ? "" : file_text(books + "/wbook.vbk");
    const std::string black = books.empty() ? "" : file_text(books + "/bbook.vbk");
    if (!opening.empty()) {
        std::string answer(START_TEXT);
        const std::size_t from = text_index(opening[0], opening[1]);
        const std::size_t to = text_index(opening[2], opening[3]);
        answer[to] = answer[from];
        answer[from] = ' ';
        white = std::string(START_TEXT) + "\r\n" + answer + "\r\n" + white;
    }
    const std::pair<const char*, const std::string*> files[] = {{"/wbook.vbk", &white}, {"/bbook.vbk", &black}};
    for (const auto& [name, text] : files) {
        if (text->empty()) continue;
        std::ofstream book(dir + name, std::ios::binary);
        book << *text;
        if (!book) return false;
    }
    return true;
}

// A scratch directory that is removed, with the book in it, when the game is over.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/selfplay.XXXXXX";
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ScratchDir() {
        if (path.empty()) return;
        unlink((path + "/wbook.vbk").c_str());
        unlink((path + "/bbook.vbk").c_str());
        rmdir(path.c_str());
    }
};

bool is_verdict(const std::string& line) { return line == "1-O" || line == "O-1" || line == "DRAW"; }

// Reads the engine's next "move xxxx" line and returns xxxx. Other output (the banner, and
// the verdict that engine-c and engine-f print without a newline) is passed over.
ReadStatus read_move(ChildProcess& engine, double timeout, std::string& move) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(timeout));
    std::string line;
    for (;;) {
        const double left = std::chrono::duration<double>(deadline - clock::now()).count();
        const ReadStatus status = engine.read_line(line, left > 0 ? left : 0);
        if (status != ReadStatus::Line) return status;
        const std::size_t at = line.find("move ");
        if (at != std::string::npos && line.size() >= at + 9) {
            move = line.substr(at + 5, 4);
            return ReadStatus::Line;
        }
    }
}

// Asks the referee about `move`. A probe line follows the move: it is always answered "bad"
// and, once the game is over, by the repeated verdict, so the number of lines to read is
// known without waiting for output that may never come. Returns false when the referee
// fails to answer; otherwise `answer` is "ok" or "bad" and `verdict` the verdict or "".
bool judge(ChildProcess& referee, const std::string& move, std::string& answer, std::string& verdict) {
    verdict.clear();
    if (!referee.send(move) || !referee.send("?")) return false;
    if (referee.read_line(answer, REFEREE_TIMEOUT) != ReadStatus::Line) return false;
    std::string line;
    if (referee.read_line(line, REFEREE_TIMEOUT) != ReadStatus::Line) return false;
    if (is_verdict(line)) {
        verdict = line;  // then the probe's "bad" and the verdict once more
        return referee.read_line(line, REFEREE_TIMEOUT) == ReadStatus::Line &&
               referee.read_line(line, REFEREE_TIMEOUT) == ReadStatus::Line;
    }
    // No verdict after a bad move either: the probe's answer. A verdict that follows it
    // would belong to a game that was already over, which never reaches the referee.
    return line == "bad";
}

GameEnd end_of(const std::string& verdict) {
    if (verdict == "1-O") return GameEnd::WhiteWins;
    if (verdict == "O-1") return GameEnd::BlackWins;
    return GameEnd::Draw;
}

}  // namespace

bool is_square_pair(const std::string& move) {
    return move.size() == 4 && move[0] >= 'a' && move[0] <= 'h' && move[1] >= '1' && move[1] <= '8' &&
           move[2] >= 'a' && move[2] <= 'h' && move[3] >= '1' && move[3] <= '8';
}

const char* describe(GameEnd end) {
    switch (end) {
        case GameEnd::WhiteWins: return "1-O";
        case GameEnd::BlackWins: return "O-1";
        case GameEnd::Draw: return "DRAW";
        case GameEnd::PlyLimit: return "unfinished";
        case GameEnd::IllegalMove: return "illegal move";
        case GameEnd::MissingMove: return "missing move";
        case GameEnd::SlowMove: return "no move in time";
        case GameEnd::Disagreement: return "referees disagree";
        case GameEnd::StartFailure: return "not started";
    }
    return "?";
}

GameReport play_game(const MatchSettings& settings, const std::string& opening) {
    GameReport report;
    report.opening = opening;
    const auto fail = [&](GameEnd end, std::string fault) {
        report.end = end;
        report.fault = std::move(fault);
        return report;
    };

    ScratchDir dir;
    if (dir.path.empty()) return fail(GameEnd::StartFailure, "no scratch directory");
    if (!write_books(dir.path, settings.books, opening)) return fail(GameEnd::StartFailure, "cannot write the books");

    ChildProcess white, black, referee;
    if (!white.start(settings.white, dir.path)) return fail(GameEnd::StartFailure, "cannot start " + settings.white);
    if (!black.start(settings.black, dir.path)) return fail(GameEnd::StartFailure, "cannot start " + settings.black);
    if (!referee.start(settings.referee, dir.path)) return fail(GameEnd::StartFailure, "cannot start " + settings.referee);
    std::string banner;
    if (referee.read_line(banner, REFEREE_TIMEOUT) != ReadStatus::Line) return fail(GameEnd::StartFailure, "the referee is silent");

    ChildProcess* engines[2] = {&white, &black};
    static const char* const SIDE[2] = {"White", "Black"};
    // The second referee: the rules of chess written apart from the engine and movecheck.
    oracle::Position position = oracle::Position::start();
    const auto fault = [&](GameEnd end, std::string what) {
        report.position = position.fen();
        return fail(end, std::move(what));
    };
    std::string move = "go";  // what the side to move is told: "go" first, then the last move
    for (int ply = 0; ply < settings.max_plies; ++ply) {
        ChildProcess& mover = *engines[ply % 2];
        const auto asked = std::chrono::steady_clock::now();
        if (!mover.send(move)) return fault(GameEnd::MissingMove, std::string(SIDE[ply % 2]) + " has ended before ply " + std::to_string(ply + 1));
        const ReadStatus status = read_move(mover, settings.reply_timeout, move);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
        if (status == ReadStatus::Timeout) {
            report.slowest_reply = seconds;
            report.slowest_ply = ply;
            report.slowest_by_side[ply % 2] = seconds;
            return fault(GameEnd::SlowMove, std::string(SIDE[ply % 2]) + " gave no move within the time at ply " + std::to_string(ply + 1));
        }
        if (status != ReadStatus::Line) return fault(GameEnd::MissingMove, std::string(SIDE[ply % 2]) + " ended without a move at ply " + std::to_string(ply + 1));
        if (seconds > report.slowest_reply) {
            report.slowest_reply = seconds;
            report.slowest_ply = ply;
        }
        double& side_slowest = report.slowest_by_side[ply % 2];
        if (seconds > side_slowest) side_slowest = seconds;
        std::string answer, verdict;
        if (!judge(referee, move, answer, verdict)) return fail(GameEnd::StartFailure, "the referee stopped answering");
        const std::string played = std::string(SIDE[ply % 2]) + " played " + move + " at ply " + std::to_string(ply + 1);
        const bool legal = position.find(move).has_value();
        if (legal != (answer == "ok"))
            return fault(GameEnd::Disagreement, played + ", which movecheck judged " + answer + " and the rules " +
                                                   (legal ? "allow" : "forbid"));
        if (!legal) return fault(GameEnd::IllegalMove, played);
        position.play(move);
        report.moves.push_back(move);
        // The game is over exactly when the side to move has no legal move: mate or stalemate.
        const std::string rules_verdict = position.checkmated()
                                              ? (position.to_move() == oracle::Side::White ? "O-1" : "1-O")
                                              : position.stalemated() ? "DRAW" : "";
        if (verdict != rules_verdict)
            return fault(GameEnd::Disagreement, "after " + played + " movecheck's verdict is \"" + verdict +
                                                   "\" and the rules' \"" + rules_verdict + "\"");
        if (!verdict.empty()) {
            report.end = end_of(verdict);
            return report;
        }
    }
    report.end = GameEnd::PlyLimit;
    return report;
}

}  // namespace quill::selfplay
