// The reply's move text, read from the difference between two positions.
#pragma once

#include <array>

#include "board/types.h"

namespace quill {

using MoveText = std::array<char, 4>;

// Derives the four characters of a move of one side from its occupancy before and after:
// scanning rank 1 to 8 and file a to h, a square that empties is the from-square and one
// that fills the to-square (a later one replaces an earlier). A king going from e1/e8 to
// g or c in the texts overrides both, so castling reads as the king's move. Returns false
// when the side's occupancy is unchanged or the move leaves either square unknown: then
// there is no move to announce.
bool derive_move_text(const BoardText& before_text, const BoardText& after_text,
                      ByteBoard before_occupancy, ByteBoard after_occupancy, MoveText& text);

}  // namespace quill
