// A game position (the engine's record and the side to move) and its legal moves, each known
// by its ordinal and described by what it does to the board.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/types.h"

namespace quill {

// Square numbers rank index * 8 + file index: a1 = 0 ... h1 = 7, a8 = 56 ... h8 = 63.
constexpr int square_file(int square) { return square % 8; }
constexpr int square_rank(int square) { return square / 8; }
// The index of a square in a BoardText (a8 = 0 ... h1 = 63).
constexpr int text_index(int square) { return (7 - square_rank(square)) * 8 + square_file(square); }
// "e4" for the square number of e4.
std::string square_name(int square);

// The engine's record of a position, regenerated, with the side whose move it is.
struct GamePosition {
    PositionRecord record;
    Color side = WHITE;
};

enum class Castling : std::uint8_t { None, Short, Long };

// One legal move of the side to move. Castling is the king's move from and to; a promotion
// always gives a queen, since the engine promotes to nothing else.
struct LegalMove {
    std::int32_t ordinal = 0;  // its place in the side's enumeration
    PieceKind kind = PAWN;     // the piece that moves (the king for castling, the pawn for a promotion)
    int from = 0, to = 0;      // square numbers
    bool capture = false;
    bool en_passant = false;
    bool promotion = false;
    Castling castling = Castling::None;
};

// The start position of a game, White to move.
GamePosition start_position();

// The position with the placement of a board text and `side` to move, with no en-passant
// chance. A placement carries no castling rights, so each side keeps those of its king and
// rooks that stand on their home squares.
GamePosition position_from_text(const BoardText& text, Color side);

// Every legal move of the side to move, in ordinal order, found with the engine's legal-move
// iterator. `after`, when given, receives the position after each move (same index).
std::vector<LegalMove> legal_moves(const GamePosition& position, std::vector<GamePosition>* after = nullptr);

// The position after a move, as the game loop leaves it: the mover's own en-passant chance
// is gone and the other side is to move. `move` must be one of legal_moves(position).
GamePosition play_move(const GamePosition& position, const LegalMove& move);

// True when the side to move has at least one legal move.
bool has_legal_move(const GamePosition& position);

// True when the side to move stands in check: its king on the other side's attack map.
bool in_check(const GamePosition& position);

// The board text of a position.
BoardText text_of(const GamePosition& position);

// The move in coordinate text, e2e4; castling as the king's move.
std::string coordinate_text(const LegalMove& move);

}  // namespace quill
