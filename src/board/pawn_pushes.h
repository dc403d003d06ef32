// Pawn post-processing shared by every pass that fills pawn slots.
#pragma once

#include <bit>

#include "board/types.h"

namespace quill {

// Pawn targets keep only enemy-occupied diagonals; then the single push and, from the
// colour's second rank over a free square, the double push are added.
template <Color C>
inline void pawn_pushes(PositionRecord& r) {
    SlotView s = slots(r, C, PAWN);
    const ByteBoard enemy = pieces(r, ~C);
    const ByteBoard occupied = r.white_pieces | r.black_pieces;
    for (int slot = 0; slot < PAWN_SLOTS; ++slot) s[2 * slot + 1] &= enemy;
    for (int slot = 0; slot < PAWN_SLOTS; ++slot) {
        const ByteBoard q = s[2 * slot];
        if (q.empty()) continue;  // an unused slot gains no push
        ByteBoard& t = s[2 * slot + 1];
        if ((q.bits & (q.bits - 1)) == 0) {  // q is not empty here
            // One pawn: the loop below reduces to its single push and, from its second
            // rank over a free square, the double push.
            const std::uint64_t empty = ~occupied.bits;
            const std::uint64_t one = (C == WHITE ? q.bits << 8 : q.bits >> 8) & empty;
            const bool on_second = q.byte(relative_rank(C, 1)) != 0;
            const bool on_last = q.byte(relative_rank(C, 7)) != 0 || q.byte(relative_rank(C, 0)) != 0;
            if (on_last) continue;
            t.bits |= one;
            if (on_second && one) t.bits |= (C == WHITE ? one << 8 : one >> 8) & empty;
            continue;
        }
        // k runs over the pawn's rank index as seen by its own colour, from the seventh
        // rank down to the second; `ahead` is the rank one step forward.
        for (int k = 6; k >= 1; --k) {
            const int from = relative_rank(C, k);
            const int ahead = relative_rank(C, k + 1);
            const std::uint8_t saved = t.byte(ahead);
            t.set_byte(ahead, static_cast<std::uint8_t>(q.byte(from) & ~occupied.byte(ahead)));
            if (k == 1 && t.byte(ahead) != 0) {
                const int two_ahead = relative_rank(C, 3);
                t.set_byte(two_ahead, static_cast<std::uint8_t>(q.byte(from) & ~occupied.byte(two_ahead)));
            }
            t.set_byte(ahead, static_cast<std::uint8_t>(t.byte(ahead) | saved));
        }
    }
}

}  // namespace quill
