// Typed moves: the four characters a user types for a move, and the legal move they name.
#pragma once

#include <cstdint>
#include <string_view>

#include "board/types.h"

namespace quill {

// A typed move's squares: file masks and rank indexes (rank 1 = 0). Whatever the parse did
// not reach keeps its mask at 0 and its rank at NO_RANK.
struct ParsedSquares {
    static constexpr int NO_RANK = 10;
    std::uint8_t from_file = 0, to_file = 0;
    int from_rank = NO_RANK, to_rank = NO_RANK;

    // Whether all four characters parsed.
    constexpr bool complete() const { return to_rank != NO_RANK; }
    friend constexpr bool operator==(const ParsedSquares&, const ParsedSquares&) = default;
};

// Parses the first four characters of a word as a file letter (either case), a rank digit, a
// file letter and a rank digit, each only when the one before parsed; the rest of the word is
// ignored.
ParsedSquares parse_typed_move(std::string_view word);

// The ordinal of the legal move of `user` named by complete squares in `position` (whose
// derived boards need not be current), or 0 when none is. The from-square must hold a piece
// of the user and the to-square not; then the legal moves are walked in ordinal order and the
// last one that empties the from-square and fills the to-square wins, so a rook or king move
// with the squares of a castling's rook or king part is preferred to the castling.
std::int32_t match_typed_move(const PositionRecord& position, Color user, const ParsedSquares& squares);

}  // namespace quill
