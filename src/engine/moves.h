// Move making by ordinal: a move is named only by its place in the side's fixed enumeration.
#pragma once

#include "board/types.h"

namespace quill {

// Which enumeration a maker walks: every candidate, or castling, en passant and captures.
enum class MoveList { Full, Captures };

// Makes candidate n of side C's enumeration on a record that generate_moves has brought up to
// date, and records n as the side's move ordinal; sets ORDINAL_EXHAUSTED (changing no board)
// when there are fewer than n candidates, and makes nothing for n <= 0. The castling
// availability bits are recomputed on every call. Derived boards are left stale.
template <Color C, MoveList L>
void make_move(PositionRecord& record, std::int32_t n);

inline void make_white_move(PositionRecord& r, std::int32_t n) { make_move<WHITE, MoveList::Full>(r, n); }
inline void make_black_move(PositionRecord& r, std::int32_t n) { make_move<BLACK, MoveList::Full>(r, n); }
inline void make_white_capture(PositionRecord& r, std::int32_t n) { make_move<WHITE, MoveList::Captures>(r, n); }
inline void make_black_capture(PositionRecord& r, std::int32_t n) { make_move<BLACK, MoveList::Captures>(r, n); }

// Colour as a run-time value, for callers that hold the side in a variable.
inline void make_side_move(PositionRecord& r, Color c, std::int32_t n) {
    c == WHITE ? make_white_move(r, n) : make_black_move(r, n);
}

}  // namespace quill
