// The referee at the engine's console: follows one program's session line by line, as the
// console protocol reads it, and judges every move with the independent referee
// (tests/oracles) instead of the engine's own legality.
//
// For a standard build a typed move is accepted exactly when the engine makes it; the standard
// builds print nothing for the move itself, only their reply, and no reply at all when they
// have no move left. So after every line that may change the position (a typed move, or a word
// that makes the engine move) the harness sends a board probe, "ii", and the judge reads the
// diagram: the board after the line is known whatever was printed. The probe changes nothing
// in the game (a word beginning with "ii" only shows the board). Whether a reply came from the
// book is known from the search's node counter, which only the search moves. A reply from the
// search must be one legal move named by its move line; a reply from the book is followed as
// one legal move when it is one, and otherwise adopted as a change of position.
//
// Findings: a move line that is not a legal move, a typed move accepted that the rules forbid
// or refused that they allow, an engine that does not reply although it has a legal move, a
// reply whose move line names another move than the one made, a board that differs from the
// referee's, movecheck's "ok"/"bad" or verdict differing from the rules, and any output that
// is not part of the protocol. Positions beyond the engine's documented capacity (more pieces
// of a kind than it has slots, more than a hundred candidate moves) and positions no game can
// reach (after a book answer that is no move, or a side made to move twice) are not judged
// until the next game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/build_profile.h"
#include "book_model.h"
#include "referee.h"

namespace quill::fuzzing {

// The console protocol's reading of a line: only its first 799 characters count, and of those
// only the first word, ended by a blank (space, tab, CR, VT, FF) or by a NUL byte.
namespace console {

inline constexpr std::size_t KEPT_CHARACTERS = 799;

inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

inline std::string first_word(std::string_view line) {
    line = line.substr(0, KEPT_CHARACTERS);
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != '\0' && !is_blank(line[j])) ++j;
    return std::string(line.substr(i, j - i));
}

// The move named by the first four characters of a word (file letters in either case), in
// lower case; nothing when they are not file, rank, file, rank.
inline std::optional<std::string> typed_move(std::string_view word) {
    if (word.size() < 4) return std::nullopt;
    std::string text(word.substr(0, 4));
    for (const int i : {0, 2}) {
        if (text[i] >= 'A' && text[i] <= 'H') text[i] = static_cast<char>(text[i] - 'A' + 'a');
        if (text[i] < 'a' || text[i] > 'h') return std::nullopt;
    }
    for (const int i : {1, 3})
        if (text[i] < '1' || text[i] > '8') return std::nullopt;
    return text;
}

}  // namespace console

// The pieces of a program's output, in the order printed.
struct OutputPiece {
    enum Kind { Banner, Diagram, MoveLine, Ok, Bad, Verdict } kind;
    std::string text;  // the board text of a diagram, the squares of a move line, the verdict
};

// Splits a program's output into the pieces of its protocol; returns false and the offending
// rest when something else was printed.
bool read_output(std::string_view output, GameLoopKind loop, std::string_view banner,
                 std::vector<OutputPiece>& pieces, std::string& stray);

class SessionJudge {
public:
    SessionJudge(GameLoopKind loop, std::string_view banner);

    // Judges the output printed before the first line.
    void start(std::string_view output);

    // Takes the next line of input (without its line end); returns whether a board probe must
    // follow it.
    bool begin_line(std::string_view line);
    // The output of that line, and whether the search ran while it was read.
    void end_line(std::string_view output, bool searched);
    // The output of the probe that followed it.
    void end_probe(std::string_view output);

    // The books the engine reads in this session (nothing for an absent one): a book answer
    // may put back the very board the user's move left, and only the book tells that apart
    // from a refused move.
    void set_books(std::optional<std::string> white_book, std::optional<std::string> black_book);

    // Whether the program has been told to quit.
    bool finished() const { return quit_; }

    // The word a board probe sends.
    static constexpr std::string_view PROBE = "ii\n";

private:
    enum class LineKind { Empty, NewGame, Quit, Trigger, Typed, Other };

    void new_game();
    std::vector<OutputPiece> pieces_of(std::string_view output) const;
    void expect_only(const std::vector<OutputPiece>& pieces, bool diagram, bool answer_bad, const char* what);
    void judge_standard(const std::vector<OutputPiece>& probe);
    void judge_reply(const oracle::Position& before, const std::optional<std::string>& move_line,
                     const std::string& board);
    void judge_checker(const std::vector<OutputPiece>& probe);
    bool book_answers(const oracle::Position& position, const std::string& board) const;
    void stop_judging() { judging_ = false; }
    void check_capacity();
    [[noreturn]] void finding(const std::string& what) const;

    const GameLoopKind loop_;
    const std::string banner_;
    BookModel white_book_, black_book_;

    // The protocol's state, followed whether or not the game is judged.
    int engine_side_ = 0;       // 1 once the engine plays White
    bool engine_replied_ = false;
    bool quit_ = false;
    std::string seen_board_;    // the board as the last diagram showed it

    // The game as the referee sees it.
    oracle::Position position_;
    bool judging_ = true;
    std::string verdict_;       // movecheck's verdict, repeated after every later line

    // The line being judged.
    std::string line_;
    LineKind kind_ = LineKind::Empty;
    bool shows_board_ = false;
    std::string typed_;
    std::vector<OutputPiece> line_output_;
    bool searched_ = false;
};

}  // namespace quill::fuzzing
