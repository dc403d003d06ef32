// Conversions between the twelve piece boards and a BoardText, and clearing one square.
#pragma once

#include "board/types.h"

namespace quill {

// Sets the square of every piece letter of `text` in its piece board. Bits are only ever
// added, so the caller passes zeroed boards; any other character leaves its square empty.
// Always returns 0.
int board_text_to_maps(PositionRecord& boards, const BoardText& text);

// Rewrites all 64 characters of `text` from the piece boards; where two boards claim one
// square the later of r, n, b, q, k, p, R, N, B, Q, K, P stands.
void maps_to_board_text(const PositionRecord& boards, BoardText& text);

// Complements the caller's mask byte in place, then clears that file bit on rank byte
// `rank_index` of all twelve piece boards. Derived boards are left for the next pass.
void clear_square(PositionRecord& boards, int rank_index, std::uint8_t& mask);

// Clears all twelve piece boards.
void clear_piece_boards(PositionRecord& boards);

}  // namespace quill
