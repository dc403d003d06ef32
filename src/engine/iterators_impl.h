// The body of the move iterators, shared by the full-list and capture-list instantiations.
#pragma once

#include "board/attack_maps.h"
#include "engine/constants.h"
#include "engine/iterators.h"

namespace quill {


template <Color C, MoveList L, bool Legal>
int make_next_move(PositionRecord& r) {
    const PositionRecord snapshot = r;
    generate_moves(r);
    std::int32_t k = move_ordinal(r, C);
    for (;;) {
        ++k;
        make_move<C, L>(r, k);
        // Past the hundredth candidate there is no move, even when the maker made one.
        if (move_ordinal(r, C) > MAX_MOVE_ORDINAL) return 1;
        generate_moves(r);
        if constexpr (Legal) {
            if (piece_board(r, C, KING).intersects(attacks(r, ~C))) {
                r = snapshot;
                continue;
            }
        }
        r.move_made_flag = 1;
        return 0;
    }
}

}  // namespace quill
