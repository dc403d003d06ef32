// Standard algebraic notation: reading a SAN word against the engine's legal moves of a
// position, and writing a legal move as SAN.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notation/legal_moves.h"

namespace quill {

// A word as messages show it, in single quotes.
std::string quote(std::string_view word);

// A SAN word taken apart, before any position is looked at. Square parts hold -1 when the
// word does not give them.
struct SanWord {
    Castling castling = Castling::None;
    PieceKind kind = PAWN;
    bool kind_written = false;           // a piece letter stands before the squares
    int from_file = -1, from_rank = -1;  // disambiguation, 0..7
    int to = -1;                         // square number of the destination
    bool capture = false;                // written with 'x' (or ':')
    char promotion = 0;                  // 'Q', 'R', 'B', 'N' when written, else 0
};

// Takes a SAN word apart: piece letter, disambiguation by file, rank or both, 'x', the
// destination, a promotion written "=Q" or "Q", castling "O-O" / "O-O-O" (also with zeros),
// and any trailing check, mate and annotation marks ("+", "#", "!", "?"). Long forms such as
// "e2e4", "e2-e4" and "Ng1-f3" read as fully disambiguated moves. Returns nothing when the
// word is not a move in this notation.
std::optional<SanWord> parse_san(std::string_view word);

enum class SanStatus { Found, NotAMove, Illegal, Ambiguous, UnderPromotion };

struct SanMatch {
    SanStatus status = SanStatus::NotAMove;
    int index = -1;       // into the legal moves, when found
    std::vector<int> candidates;  // the legal moves the word fits, when ambiguous
    std::string message;  // why the word was rejected, for the user
};

// Finds the one legal move (from legal_moves(position)) that the word names. A capture may
// be written without 'x'; a pawn move without a file is a push along its file; a pawn
// reaching the last rank promotes to a queen whether or not "=Q" is written, while a
// promotion to another piece is reported as UnderPromotion, since the engine has none.
SanMatch resolve_san(std::string_view word, const GamePosition& position, const std::vector<LegalMove>& moves);

// Writes a legal move of the position as SAN: the piece letter, the file, the rank or both
// where another piece of the kind reaches the same square, "x" for captures, "=Q" for
// promotions, "O-O" / "O-O-O" for castling, and "+" or "#" when the move gives check or
// mate by the engine's own attack maps.
std::string write_san(const GamePosition& position, const std::vector<LegalMove>& moves, const LegalMove& move);

}  // namespace quill
