// The move iterators: make a side's next move after the one recorded in the record.
#pragma once

#include "engine/moves.h"

namespace quill {

// Makes move k + 1, k + 2, ... of side C's list (k the side's move ordinal in the record)
// until one is made, regenerates the record and returns 0 with move_made_flag set; returns 1
// when the list is exhausted or the ordinal passes MAX_MOVE_ORDINAL. The legal form skips
// moves that leave C's king attacked, restoring its snapshot without regenerating, so its
// caller passes a regenerated record.
template <Color C, MoveList L, bool Legal>
int make_next_move(PositionRecord& record);

// The legal iterator of a side held in a variable.
inline int make_next_legal_move(PositionRecord& r, Color c) {
    return c == WHITE ? make_next_move<WHITE, MoveList::Full, true>(r) : make_next_move<BLACK, MoveList::Full, true>(r);
}

}  // namespace quill
