// An independent referee of chess moves, written from the rules of chess alone: a plain
// mailbox board of 64 squares, a move generator that walks steps and rays square by square,
// castling rights, en passant, and legality by king safety. It shares no code with the
// engine, so that the tests, the fuzz targets and the self-play tools can judge the engine's
// moves with something other than the engine's own legality.
//
// A pawn that reaches the last rank becomes a queen (the engine's rule, and the referee's game
// mode); perft counts can also be taken with all four promotions, to compare with the counts
// published for the standard rules.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::oracle {

enum class Side { White, Black };
constexpr Side other(Side s) { return s == Side::White ? Side::Black : Side::White; }

// Squares 0..63: a1 = 0, b1 = 1, ..., h1 = 7, a2 = 8, ..., h8 = 63.
using Square = int;
inline constexpr Square NO_SQUARE = -1;
constexpr int file_of(Square s) { return s % 8; }
constexpr int rank_of(Square s) { return s / 8; }
constexpr Square square_at(int file, int rank) { return rank * 8 + file; }

// "e4" for the square 28; the square of a name like "e4" (lower case only), or NO_SQUARE.
std::string square_name(Square s);
Square parse_square(std::string_view name);

// Which pieces a pawn reaching the last rank may become.
enum class Promotions { QueenOnly, All };

struct Move {
    Square from = NO_SQUARE;
    Square to = NO_SQUARE;
    char promotion = 0;  // 'q', 'r', 'b' or 'n' for a promotion, else 0
    bool castling = false;
    bool en_passant = false;
    bool double_step = false;

    // Coordinate text: e2e4, e1g1 for castling, e7e8 for a queen promotion and e7e8n for an
    // under-promotion.
    std::string text() const;
    friend bool operator==(const Move&, const Move&) = default;
};

// A position: the placement of the pieces, the side to move, the four castling rights and the
// en-passant square. Pieces are letters, "KQRBNP" White's and "kqrbnp" Black's, ' ' empty.
class Position {
public:
    // An empty board, White to move, no castling rights.
    Position();

    static Position start();

    // Placement, side to move, castling rights ("KQkq" or "-") and en-passant square of a
    // FEN; the move counters may follow and are ignored. Nothing for a malformed FEN.
    static std::optional<Position> from_fen(std::string_view fen);

    // A placement given as the engine's 64-character board text (a8..h8, a7..h7, ..., a1..h1;
    // any character other than a piece letter is an empty square), with no castling rights
    // and no en-passant square. Nothing unless the text has 64 characters.
    static std::optional<Position> from_board_text(std::string_view text, Side to_move);

    std::string fen() const;
    std::string board_text() const;

    char at(Square s) const { return board_[s]; }
    Side to_move() const { return to_move_; }
    bool may_castle(Side side, bool short_side) const { return rights_[index(side)][short_side ? 0 : 1]; }
    Square en_passant_square() const { return en_passant_; }

    // Whether `s` is attacked by a piece of `by` (a pawn attacks diagonally forward, whether or
    // not the square is occupied).
    bool attacked(Square s, Side by) const;

    // Whether a king of `side` is attacked. A side without a king is never in check.
    bool king_attacked(Side side) const;
    bool in_check() const { return king_attacked(to_move_); }

    // Whether the position could arise in a game: one king each, no pawn on the first or
    // last rank, and the side that has just moved not in check.
    bool is_reachable_shape() const;

    // Every move the rules allow the side to move, castling offered only when the king, the
    // squares it crosses and its destination are free of attack.
    std::vector<Move> pseudo_legal_moves(Promotions promotions = Promotions::QueenOnly) const;
    // The moves that do not leave the mover's own king attacked.
    std::vector<Move> legal_moves(Promotions promotions = Promotions::QueenOnly) const;
    bool has_legal_move() const;
    bool checkmated() const { return in_check() && !has_legal_move(); }
    bool stalemated() const { return !in_check() && !has_legal_move(); }

    // The legal move named by coordinate text such as e2e4 (castling as the king's two-square
    // move, a promotion as the pawn's move, always to a queen); nothing when there is none.
    std::optional<Move> find(std::string_view text) const;

    // Makes a move without asking whether it is legal: the piece moves (capturing whatever
    // stands on its destination), castling brings the rook beside the king, en passant removes
    // the pawn passed by, a promotion places the new piece; a move from or to e1, a1, h1, e8,
    // a8 or h8 takes away the castling rights tied to that square; a double step opens the
    // en-passant square; the other side is to move.
    void make(const Move& move);

    // Makes the move named by `text` when it is legal; returns whether it was.
    bool play(std::string_view text);

    // The legal move (a promotion to a queen) after which the placement is `board_text`;
    // nothing when no single legal move leads there.
    std::optional<Move> move_to(std::string_view board_text) const;

    // Takes a placement reached by a change that was not judged a move, as the change of
    // position made by a move would leave the state: a side's castling rights go with any
    // change on its king's or rook's home square, the en-passant square opens only when the
    // change was exactly a double step of the side to move, and the other side is to move.
    // Returns false (and changes nothing) unless the text has 64 characters.
    bool adopt(std::string_view board_text);

    // Hands the move to the other side without a move: the en-passant chance is gone.
    void pass();

    // Leaf count of the legal-move tree `depth` plies deep.
    std::uint64_t perft(int depth, Promotions promotions) const;

    friend bool operator==(const Position&, const Position&) = default;

private:
    static constexpr int index(Side s) { return s == Side::White ? 0 : 1; }
    bool owns(Square s, Side side) const;
    void add_pawn_moves(Square from, Promotions promotions, std::vector<Move>& moves) const;
    void add_piece_moves(Square from, std::vector<Move>& moves) const;
    void add_castling(std::vector<Move>& moves) const;
    void take_rights_of(Square s);

    std::array<char, 64> board_;
    Side to_move_ = Side::White;
    std::array<std::array<bool, 2>, 2> rights_{};  // [side][0 short, 1 long]
    Square en_passant_ = NO_SQUARE;
};

}  // namespace quill::oracle
