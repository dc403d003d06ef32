// One step along a ray for the attack pass and for the generation pass, and the knight jump,
// as the step-by-step passes take them.
#pragma once

#include "board/shifts.h"

namespace quill {

// Moves the scratch board one step; an own piece ends the ray before its square is marked,
// an enemy piece is marked and then ends it. The stop flag, once set, suppresses marking.
template <Color C>
inline void attack_step(const Steps& d, ByteBoard& scratch, ByteBoard& accumulator,
                        const ByteBoard& white_pieces, const ByteBoard& black_pieces,
                        SlotView slot_boards, int index, std::uint8_t& stop) {
    const ByteBoard& own = C == WHITE ? white_pieces : black_pieces;
    const ByteBoard& enemy = C == WHITE ? black_pieces : white_pieces;
    if (apply_steps(d, scratch)) return;
    if (scratch.intersects(own)) stop = 1;
    if (!stop) {
        accumulator |= scratch;
        slot_boards[index] |= scratch;
    }
    if (scratch.intersects(enemy)) stop = 1;
}

// Moves the scratch board one step and marks the square before looking at it, so the first
// blocker of a ray is marked whatever its colour, and the ray then ends.
template <Color C>
inline void target_step(const Steps& d, ByteBoard& scratch, ByteBoard& accumulator,
                        const ByteBoard& white_pieces, const ByteBoard& black_pieces,
                        SlotView slot_boards, int index, std::uint8_t& stop) {
    const ByteBoard& own = C == WHITE ? white_pieces : black_pieces;
    const ByteBoard& enemy = C == WHITE ? black_pieces : white_pieces;
    if (!apply_steps(d, scratch)) {
        if (!stop) {
            accumulator |= scratch;
            slot_boards[index] |= scratch;
        }
        if (scratch.intersects(enemy)) stop = 1;
    }
    // Tested also after a failed shift, on the board as it now stands.
    if (scratch.intersects(own)) stop = 1;
}

// One knight jump: marks the landing square whoever stands there, then clears the scratch
// board in every case.
inline void knight_jump(const Steps& jump, ByteBoard& scratch, ByteBoard& accumulator,
                        SlotView slot_boards, int index) {
    if (!apply_steps(jump, scratch)) {
        slot_boards[index] |= scratch;
        accumulator |= scratch;
    }
    scratch = {};
}

}  // namespace quill
