// Setting up any position from FEN, for tests and developer tools (not for the programs).
#pragma once

#include <optional>
#include <string_view>

#include "board/types.h"

namespace quill {

struct SetupPosition {
    PositionRecord record;
    Color side_to_move = WHITE;
};

// Reads piece placement, side to move, castling rights and the en-passant square of a FEN
// (move counters are optional and ignored). K sets White's CASTLE_KING_RIGHT and
// CASTLE_SHORT_ROOK, Q its CASTLE_KING_RIGHT and CASTLE_LONG_ROOK, k and q the same for
// Black; the en-passant square's file goes into the mask of the side to move. The record is
// regenerated with generate_moves. Returns nothing for a malformed FEN.
std::optional<SetupPosition> position_from_fen(std::string_view fen);

inline constexpr std::string_view START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace quill
