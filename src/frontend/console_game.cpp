#include "frontend/console_game.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <chrono>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>
#include <vector>

#include "board/types.h"
#include "frontend/child_process.h"
#include "notation/legal_moves.h"
#include "notation/pgn.h"
#include "notation/san.h"

namespace quill {

namespace {

constexpr const char* REFEREE_NAME = "movecheck";
// The result of a game that has not ended, in PGN.
const std::string UNFINISHED_RESULT = "*";
// The time the referee and a stopping child get; they answer at once when they are well.
constexpr double STOP_GRACE_SECONDS = 2.0;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void note_interrupt(int) { interrupted = 1; }

const char* side_name(Color side) { return side == WHITE ? "White" : "Black"; }

// The result word of movecheck's verdict ("1-O", "O-1", "DRAW"), or empty for another line.
std::string result_of_verdict(const std::string& verdict) {
    if (verdict == "1-O") return "1-0";
    if (verdict == "O-1") return "0-1";
    if (verdict == "DRAW") return "1/2-1/2";
    return "";
}

// What ended a fruitless wait for a line from a child, as the player is told it.
std::string wait_failure(ReadStatus status, double seconds) {
    if (status == ReadStatus::Closed) return "has exited";
    std::ostringstream text;
    text << "sent nothing within " << seconds << " s";
    return text.str();
}

// Castling rights as the game stands, "KQkq" style, "-" for none. A side keeps a right while
// its king has not moved and that rook has not moved.
std::string castling_rights(const PositionRecord& record) {
    std::string rights;
    for (Color side : {WHITE, BLACK}) {
        const std::uint8_t flags = castling(record, side)[CASTLE_FLAGS_BYTE];
        if (!(flags & CASTLE_KING_RIGHT)) continue;
        if (flags & CASTLE_SHORT_ROOK) rights += side == WHITE ? 'K' : 'k';
        if (flags & CASTLE_LONG_ROOK) rights += side == WHITE ? 'Q' : 'q';
    }
    return rights.empty() ? "-" : rights;
}

// Coordinates as the engines take them in either case, E2E4 as e2e4; any other word as it is
// (SAN keeps its capital piece letters).
std::string lower_coordinates(const std::string& word) {
    const auto file = [](char c) { return (c >= 'a' && c <= 'h') || (c >= 'A' && c <= 'H'); };
    const auto rank = [](char c) { return c >= '1' && c <= '8'; };
    if (word.size() != 4 || !file(word[0]) || !rank(word[1]) || !file(word[2]) || !rank(word[3]))
        return word;
    std::string lower = word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

constexpr const char* HELP_TEXT =
    "Moves: SAN (e4, Nf3, exd5, O-O, e8=Q) or coordinates (e2e4, e7e8).\n"
    "Commands:\n"
    "  help        this list\n"
    "  board       the board, side to move, castling rights and last move\n"
    "  new         a new game (restarts an engine that has stopped)\n"
    "  go          the engine takes White (at the start of a game)\n"
    "  pgn FILE    save the game so far as PGN\n"
    "  engine NAME play another build (engine-a to engine-f) from a new game\n"
    "  quit        leave (so does the end of input)\n";

// One game in play and the two child programs that follow it.
class ConsoleGame {
public:
    ConsoleGame(const ConsoleGameOptions& options, std::istream& in, std::ostream& out)
        : options_(options), build_(options.build), in_(in), out_(out) {}

    int run() {
        start_children();
        new_game();
        std::string line;
        while (read_line(line)) {
            if (!handle(line)) break;
        }
        engine_.stop(STOP_GRACE_SECONDS);
        referee_.stop(STOP_GRACE_SECONDS);
        return 0;
    }

private:
    enum class State { Playing, Over, Broken };

    // Reads the player's next line, after a prompt on a terminal. A Ctrl-C asks whether to
    // quit. False at the end of input or when the player confirms quitting.
    bool read_line(std::string& line) {
        for (;;) {
            if (interrupted) {
                interrupted = 0;
                if (confirm_quit()) return false;
            }
            if (options_.prompt) out_ << prompt() << std::flush;
            if (std::getline(in_, line)) return true;
            if (!interrupted) return false;
            in_.clear();
            std::clearerr(stdin);
        }
    }

    bool confirm_quit() {
        out_ << "\nQuit the game? (y/n) " << std::flush;
        std::string answer;
        while (!std::getline(in_, answer)) {
            if (!interrupted) return true;
            interrupted = 0;
            in_.clear();
            std::clearerr(stdin);
        }
        return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
    }

    std::string prompt() const {
        std::ostringstream text;
        text << side_name(position_.side) << " (" << move_number() << ") : ";
        return text.str();
    }

    int move_number() const { return static_cast<int>(sans_.size()) / 2 + 1; }

    // The move number as written before a move of `side`: "12." or "12...".
    std::string numbered(Color side) const {
        return std::to_string(move_number()) + (side == WHITE ? ". " : "... ");
    }

    // Handles one line; false to quit.
    bool handle(const std::string& line) {
        std::istringstream words(line);
        std::string word, argument;
        words >> word;
        std::getline(words >> std::ws, argument);
        if (word.empty()) return true;
        if (word == "quit") return false;
        if (word == "help") {
            out_ << HELP_TEXT;
        } else if (word == "board") {
            show_board();
        } else if (word == "new") {
            if (!engine_.running() || !referee_.running()) {
                start_children();
            } else {
                tell_children("new");
                state_ = State::Playing;
            }
            new_game();
        } else if (word == "pgn") {
            save_pgn(argument);
        } else if (word == "engine") {
            change_engine(argument);
        } else if (state_ == State::Over) {
            out_ << "The game is over: type new for another, or pgn, board, help, quit.\n";
        } else if (state_ == State::Broken) {
            out_ << "No game in play: type new to start one.\n";
        } else if (word == "go") {
            engine_takes_white();
        } else {
            player_move(word);
        }
        out_ << std::flush;
        return true;
    }

    // Starts (or restarts) both children in the book folder and reads the engine's banner.
    void start_children() {
        engine_.stop(STOP_GRACE_SECONDS);
        referee_.stop(STOP_GRACE_SECONDS);
        state_ = State::Playing;
        if (!start_child(referee_, REFEREE_NAME) || !start_child(engine_, build_)) {
            state_ = State::Broken;
            return;
        }
        std::string banner;
        const ReadStatus status = engine_.read_line(banner, options_.reply_seconds);
        if (status != ReadStatus::Line) {
            engine_failed(status);
            return;
        }
        out_ << banner << '\n';
        std::string referee_banner;
        if (referee_.read_line(referee_banner, options_.reply_seconds) != ReadStatus::Line) {
            out_ << "movecheck did not start; type new to try again.\n";
            state_ = State::Broken;
        }
    }

    bool start_child(ChildProcess& child, const std::string& name) {
        const std::string path = options_.program_folder + "/" + name;
        if (child.start(path, options_.folder)) return true;
        out_ << "Cannot start " << path << "; type new to try again.\n";
        return false;
    }

    void tell_children(const std::string& line) {
        engine_.send(line);
        referee_.send(line);
    }

    void new_game() {
        position_ = start_position();
        sans_.clear();
        last_move_.clear();
        engine_side_ = BLACK;
        result_ = UNFINISHED_RESULT;
        if (state_ != State::Broken) {
            state_ = State::Playing;
            out_ << "New game: you play White against " << build_ << ". Type help for the commands.\n";
        }
    }

    void change_engine(const std::string& name) {
        static constexpr const char* BUILDS[] = {"engine-a", "engine-b", "engine-c",
                                                 "engine-d", "engine-e", "engine-f"};
        bool known = false;
        for (const char* build : BUILDS) known |= name == build;
        if (!known) {
            out_ << "Unknown engine: " << (name.empty() ? "(none)" : name)
                 << " — the builds are engine-a to engine-f\n";
            return;
        }
        build_ = name;
        start_children();
        new_game();
    }

    void engine_failed(ReadStatus status) {
        out_ << "The engine " << build_ << " " << wait_failure(status, options_.reply_seconds)
             << "; type new to restart it.\n";
        // It has had its time already: no grace to wait for an answer to quit.
        engine_.stop(0.0);
        state_ = State::Broken;
    }

    void engine_takes_white() {
        if (!sans_.empty() || engine_side_ == WHITE) {
            out_ << "go only at the start of a game, before any move.\n";
            return;
        }
        engine_side_ = WHITE;
        out_ << build_ << " takes White; you play Black.\n";
        engine_.send("go");
        engine_reply();
    }

    void player_move(const std::string& word) {
        const std::vector<LegalMove> moves = legal_moves(position_);
        const SanMatch match = resolve_san(lower_coordinates(word), position_, moves);
        switch (match.status) {
            case SanStatus::NotAMove:
                out_ << "Unknown command: " << word << " — type help\n";
                return;
            case SanStatus::Illegal:
                out_ << "Illegal move: " << word << '\n';
                return;
            case SanStatus::UnderPromotion:
                out_ << "Illegal move: " << word << " (the engine promotes to a queen only)\n";
                return;
            case SanStatus::Ambiguous: {
                out_ << "Ambiguous move: " << word << " (";
                for (std::size_t i = 0; i < match.candidates.size(); ++i) {
                    out_ << (i == 0 ? "" : i + 1 == match.candidates.size() ? " or " : ", ")
                         << write_san(position_, moves, moves[match.candidates[i]]);
                }
                out_ << ")\n";
                return;
            }
            case SanStatus::Found:
                break;
        }
        const LegalMove& move = moves[match.index];
        // The referee has the last word on every move before the engine sees it.
        std::string answer;
        if (!judge(coordinate_text(move), answer)) return;
        if (answer != "ok") {
            out_ << "Illegal move: " << word << '\n';
            return;
        }
        const std::string san = write_san(position_, moves, move);
        out_ << "You: " << numbered(position_.side) << san << " (" << coordinate_text(move) << ")\n";
        play(move, san);
        if (game_ended()) return;
        engine_.send(coordinate_text(move));
        engine_reply();
    }

    // Sends a move to movecheck and reads its answer. False, after saying so, when movecheck
    // fails.
    bool judge(const std::string& move, std::string& answer) {
        referee_.send(move);
        const ReadStatus status = referee_.read_line(answer, options_.reply_seconds);
        if (status == ReadStatus::Line) return true;
        out_ << "movecheck " << wait_failure(status, options_.reply_seconds)
             << "; type new to restart it.\n";
        referee_.stop(STOP_GRACE_SECONDS);
        state_ = State::Broken;
        return false;
    }

    void play(const LegalMove& move, const std::string& san) {
        last_move_ = numbered(position_.side) + san + " (" + coordinate_text(move) + ")";
        sans_.push_back(san);
        position_ = play_move(position_, move);
    }

    // When the side to move has no move, movecheck follows its "ok" with a verdict: the
    // game is over and announced. True then.
    bool game_ended() {
        if (has_legal_move(position_)) return false;
        std::string verdict;
        const ReadStatus status = referee_.read_line(verdict, options_.reply_seconds);
        result_ = status == ReadStatus::Line ? result_of_verdict(verdict) : "";
        if (result_.empty()) {
            out_ << "movecheck gave no verdict at the end of the game; type new for another.\n";
            result_ = UNFINISHED_RESULT;
            state_ = State::Broken;
            return true;
        }
        if (result_ == "1/2-1/2")
            out_ << "Stalemate. " << result_ << " (draw)\n";
        else
            out_ << "Checkmate. " << result_ << " (" << side_name(~position_.side) << " wins)\n";
        state_ = State::Over;
        return true;
    }

    // Waits for the engine's move line, shows it and has movecheck judge it.
    void engine_reply() {
        const auto started = std::chrono::steady_clock::now();
        std::string line;
        std::size_t at = std::string::npos;
        // Skip anything that is no move line; builds that announce a result may glue it to
        // the front of the next line.
        while (at == std::string::npos) {
            const ReadStatus status = engine_.read_line(line, options_.reply_seconds);
            if (status != ReadStatus::Line) {
                engine_failed(status);
                return;
            }
            at = line.rfind("move ");
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::string text = line.substr(at + 5);
        std::string answer;
        if (!judge(text, answer)) return;
        const std::vector<LegalMove> moves = legal_moves(position_);
        const LegalMove* move = nullptr;
        // As the engines match typed squares: the last legal move with these squares.
        for (const LegalMove& m : moves)
            if (coordinate_text(m) == text) move = &m;
        if (answer != "ok" || move == nullptr) {
            out_ << "ENGINE FAULT: " << build_ << " played " << text
                 << ", which is not a legal move here; the game cannot go on. Type new.\n";
            state_ = State::Broken;
            return;
        }
        const std::string san = write_san(position_, moves, *move);
        out_ << build_ << ": " << numbered(position_.side) << san << " (" << text << ")";
        if (options_.show_times) out_ << " in " << std::fixed << std::setprecision(2) << seconds << " s";
        out_ << '\n';
        play(*move, san);
        game_ended();
    }

    void show_board() const {
        const BoardText text = text_of(position_);
        for (int rank = 0; rank < 8; ++rank) {
            out_ << "  " << 8 - rank << ' ';
            for (int file = 0; file < 8; ++file) {
                const char piece = text[rank * 8 + file];
                out_ << ' ' << (piece == ' ' ? '.' : piece);
            }
            out_ << '\n';
        }
        out_ << "     a b c d e f g h\n";
        out_ << side_name(position_.side) << " to move; castling: " << castling_rights(position_.record)
             << "; last move: " << (last_move_.empty() ? "none" : last_move_) << '\n';
    }

    void save_pgn(const std::string& file) {
        if (file.empty()) {
            out_ << "pgn needs a file name: pgn game.pgn\n";
            return;
        }
        const std::time_t now = std::time(nullptr);
        char date[16];
        std::strftime(date, sizeof date, "%Y.%m.%d", std::localtime(&now));
        const std::string engine = "Quillmoor " + build_;
        const std::vector<std::pair<std::string, std::string>> tags{
            {"Event", "Quillmoor console game"},
            {"Site", "?"},
            {"Date", date},
            {"Round", "-"},
            {"White", engine_side_ == WHITE ? engine : "Player"},
            {"Black", engine_side_ == BLACK ? engine : "Player"},
            {"Result", result_}};
        std::ofstream pgn(file);
        pgn << write_pgn_game(tags, sans_, result_);
        pgn.close();
        if (!pgn) out_ << "Cannot write " << file << '\n';
        else out_ << "Saved the game in " << file << '\n';
    }

    const ConsoleGameOptions& options_;
    std::string build_;
    std::istream& in_;
    std::ostream& out_;
    ChildProcess engine_, referee_;
    GamePosition position_ = start_position();
    std::vector<std::string> sans_;
    std::string last_move_;
    Color engine_side_ = BLACK;
    std::string result_ = UNFINISHED_RESULT;
    State state_ = State::Playing;
};

}  // namespace

int run_console_game(const ConsoleGameOptions& options, std::istream& in, std::ostream& out) {
    // A child that has gone must not end us by a write to its pipe; Ctrl-C asks first.
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = note_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a Ctrl-C must end the wait for a line
    sigaction(SIGINT, &action, nullptr);
    ConsoleGame game(options, in, out);
    return game.run();
}

}  // namespace quill
