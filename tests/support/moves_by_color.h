// The move makers and iterators of each colour under their own names, for tests and tools
// that walk one side's moves; the engine calls the colour-generic forms.
#pragma once

#include "engine/iterators.h"
#include "engine/moves.h"

namespace quill {

inline void make_white_move(PositionRecord& r, std::int32_t n) { make_move<WHITE, MoveList::Full>(r, n); }
inline void make_black_move(PositionRecord& r, std::int32_t n) { make_move<BLACK, MoveList::Full>(r, n); }
inline void make_white_capture(PositionRecord& r, std::int32_t n) { make_move<WHITE, MoveList::Captures>(r, n); }
inline void make_black_capture(PositionRecord& r, std::int32_t n) { make_move<BLACK, MoveList::Captures>(r, n); }

inline int make_next_white_move(PositionRecord& r) { return make_next_move<WHITE, MoveList::Full, false>(r); }
inline int make_next_black_move(PositionRecord& r) { return make_next_move<BLACK, MoveList::Full, false>(r); }
inline int make_next_legal_white_move(PositionRecord& r) { return make_next_move<WHITE, MoveList::Full, true>(r); }
inline int make_next_legal_black_move(PositionRecord& r) { return make_next_move<BLACK, MoveList::Full, true>(r); }
inline int make_next_white_capture(PositionRecord& r) { return make_next_move<WHITE, MoveList::Captures, false>(r); }
inline int make_next_black_capture(PositionRecord& r) { return make_next_move<BLACK, MoveList::Captures, false>(r); }

}  // namespace quill
