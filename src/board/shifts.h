// The four edge-aware shifts, the eight directions with their ray steps, and the eight knight
// jumps.
#pragma once

#include <array>
#include <bit>

#include "board/types.h"

namespace quill {

// Each shift moves a board one square and returns 0, or returns 1 when the move would leave
// the board. They are applied to one-square boards, which a failed shift leaves unchanged.

constexpr int shift_north(ByteBoard& b) {
    if (b.byte(7)) return 1;
    b.bits <<= 8;
    return 0;
}

constexpr int shift_south(ByteBoard& b) {
    if (b.byte(0)) return 1;
    b.bits >>= 8;
    return 0;
}

namespace detail {

// East and west test and shift the bytes from rank 1 upwards and stop at the first byte that
// holds the edge file: the bytes below it have been shifted, it and those above have not.
template <bool East>
constexpr int shift_sideways(ByteBoard& b) {
    constexpr std::uint64_t EDGE = East ? FILE_H_SQUARES : FILE_A_SQUARES;
    // A byte's bit shifted in from its neighbour lands on the opposite edge file.
    constexpr std::uint64_t KEEP = East ? ~FILE_A_SQUARES : ~FILE_H_SQUARES;
    const auto moved = [](std::uint64_t bits) { return (East ? bits >> 1 : bits << 1) & KEEP; };
    const std::uint64_t edge = b.bits & EDGE;
    if (edge == 0) {
        b.bits = moved(b.bits);
        return 0;
    }
    const int first = std::countr_zero(edge) / 8;
    const std::uint64_t below = first == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * first);
    b.bits = (moved(b.bits & below) & below) | (b.bits & ~below);
    return 1;
}

}  // namespace detail

constexpr int shift_east(ByteBoard& b) { return detail::shift_sideways<true>(b); }
constexpr int shift_west(ByteBoard& b) { return detail::shift_sideways<false>(b); }

// The eight directions of the board by compass. A single shift moves north, south, east or
// west; a diagonal step is two of them.
enum Direction : int { NORTH, NORTH_EAST, EAST, SOUTH_EAST, SOUTH, SOUTH_WEST, WEST, NORTH_WEST, DIRECTION_NB };

// Applies the single shift in direction `s`, one of NORTH, SOUTH, EAST and WEST.
constexpr int apply_shift(Direction s, ByteBoard& b) {
    switch (s) {
        case NORTH: return shift_north(b);
        case SOUTH: return shift_south(b);
        case EAST: return shift_east(b);
        default: assert(s == WEST); return shift_west(b);
    }
}

// One step of a ray or one knight jump: a fixed sequence of single shifts that succeeds only
// if every shift in it succeeds.
struct Steps {
    std::array<Direction, 3> shifts;
    int count;
};

// Applies the shifts in order, stopping at the first that fails; 1 on failure.
constexpr int apply_steps(const Steps& steps, ByteBoard& b) {
    for (int i = 0; i < steps.count; ++i)
        if (apply_shift(steps.shifts[i], b)) return 1;
    return 0;
}

// One step in each direction, indexed by Direction.
inline constexpr std::array<Steps, DIRECTION_NB> RAY_STEPS = {{
    {{NORTH}, 1}, {{NORTH, EAST}, 2}, {{EAST}, 1}, {{SOUTH, EAST}, 2},
    {{SOUTH}, 1}, {{SOUTH, WEST}, 2}, {{WEST}, 1}, {{NORTH, WEST}, 2},
}};

// The knight jumps J1 to J8, always taken in this order.
inline constexpr std::array<Steps, 8> KNIGHT_JUMPS = {{
    {{NORTH, NORTH, EAST}, 3},  // J1
    {{NORTH, EAST, EAST}, 3},   // J2
    {{SOUTH, EAST, EAST}, 3},   // J3
    {{SOUTH, SOUTH, EAST}, 3},  // J4
    {{SOUTH, SOUTH, WEST}, 3},  // J5
    {{SOUTH, WEST, WEST}, 3},   // J6
    {{NORTH, WEST, WEST}, 3},   // J7
    {{NORTH, NORTH, WEST}, 3},  // J8
}};

}  // namespace quill
