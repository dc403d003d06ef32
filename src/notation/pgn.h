// Reading games in PGN, tolerantly, and writing them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

struct PgnMove;
// A line of moves: the main line of a game or one of its variations.
using PgnLine = std::vector<PgnMove>;

// One move as written, with the line of the file it stands on and the variations that
// replace it (each starts from the position before this move).
struct PgnMove {
    std::string san;
    int line = 0;
    std::vector<PgnLine> variations;
};

struct PgnGame {
    std::vector<std::pair<std::string, std::string>> tags;  // in file order, escapes undone
    PgnLine moves;
    std::string result;  // "1-0", "0-1", "1/2-1/2", "*", or empty when the game has none
    int first_line = 0;  // where the game starts in the file
    // Where the moves were cut short by text that is no move (0 when they were not).
    int cut_line = 0;

    // The value of a tag, or empty.
    std::string tag(std::string_view name) const;
};

// Told about text that is skipped: the line and what was wrong.
using PgnWarning = std::function<void(int line, const std::string& message)>;

// Variations nested deeper than this are skipped with a warning.
inline constexpr int PGN_MAX_NESTING = 64;

// Reads the games of a PGN text one by one. Tag pairs (with \" and \\ escapes in their
// values), move numbers ("12.", "12..."), SAN moves with check and annotation marks, NAGs
// ("$14"), comments in braces or after ';', "%" escape lines, recursive variations in
// parentheses and results are understood; CR LF and LF line ends alike. A game ends at its
// result or where the next tag section begins, so a game may lack tags or a result and two
// games may share a line. Text between games that is neither tags nor moves is skipped with
// a warning; within a game, a word that is no move cuts the game's moves there, with a
// warning, and the rest of it up to its result is skipped.
class PgnReader {
public:
    PgnReader(std::string_view text, PgnWarning warn) : text_(text), warn_(std::move(warn)) {}

    // Reads the next game into `game`; false when the text holds no more games.
    bool next(PgnGame& game);

private:
    enum class TokenKind { End, TagOpen, Word, Open, Close, Nag, Garbage };
    struct Token {
        TokenKind kind;
        std::string_view text;
        int line;
    };
    Token next_token();
    bool read_tag(PgnGame& game, int line);
    void skip_line();
    void skip_space();

    std::string_view text_;
    PgnWarning warn_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// True for the four result words.
bool is_pgn_result(std::string_view word);

// Writes one game: its tags in the order given (values escaped), a blank line, the moves
// with their numbers wrapped before 80 columns, and the result (or "*"); a blank line
// follows. `moves` are SAN words of the main line from the start position.
std::string write_pgn_game(const std::vector<std::pair<std::string, std::string>>& tags,
                           const std::vector<std::string>& moves, std::string_view result);

}  // namespace quill
