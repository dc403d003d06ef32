// Per-square tables of rays, jumps and steps, derived at compile time from the shifts.
#pragma once

#include <bit>

#include "board/shifts.h"

namespace quill {

// Per-square tables of every ray, jump and step, derived once from the shift primitives:
// the squares a piece reaches on an empty board, in the order the passes walk them.
struct StepTables {
    std::uint64_t ray[DIRECTION_NB][64]{};  // indexed by Direction
    bool ascending[DIRECTION_NB]{};       // whether bit indexes grow along the direction
    std::uint64_t knight[64]{};
    std::uint64_t king[64]{};
    std::uint64_t pawn[2][64]{};
};


constexpr StepTables derive_step_tables() {
    StepTables t;
    for (int sq = 0; sq < 64; ++sq) {
        const ByteBoard start{std::uint64_t{1} << sq};
        for (int d = 0; d < DIRECTION_NB; ++d) {
            ByteBoard s = start;
            // A ray ends at the first failed step; later steps in it never mark.
            for (int step = 0; step < 8 && !apply_steps(RAY_STEPS[d], s); ++step) t.ray[d][sq] |= s.bits;
            s = start;
            if (!apply_steps(RAY_STEPS[d], s)) t.king[sq] |= s.bits;
        }
        for (const Steps& jump : KNIGHT_JUMPS) {
            ByteBoard s = start;
            if (!apply_steps(jump, s)) t.knight[sq] |= s.bits;
        }
        for (const Direction d : {NORTH_EAST, NORTH_WEST}) {
            ByteBoard s = start;
            if (!apply_steps(RAY_STEPS[d], s)) t.pawn[WHITE][sq] |= s.bits;
        }
        for (const Direction d : {SOUTH_EAST, SOUTH_WEST}) {
            ByteBoard s = start;
            if (!apply_steps(RAY_STEPS[d], s)) t.pawn[BLACK][sq] |= s.bits;
        }
    }
    for (int d = 0; d < DIRECTION_NB; ++d) {
        ByteBoard s{std::uint64_t{1} << 27};  // a central square
        apply_steps(RAY_STEPS[d], s);
        t.ascending[d] = s.bits > (std::uint64_t{1} << 27);
    }
    return t;
}

inline constexpr StepTables TABLES = derive_step_tables();

// The squares of one ray up to and including its first occupied square.
constexpr std::uint64_t ray_to_blocker(int d, int sq, std::uint64_t occupied) {
    const std::uint64_t ray = TABLES.ray[d][sq];
    const std::uint64_t blockers = ray & occupied;
    if (!blockers) return ray;
    const int first = TABLES.ascending[d] ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
    return ray & ~TABLES.ray[d][first];
}

// The squares a piece marks from `sq`: every ray up to and including its first blocker,
// whatever the blocker's colour; jumps and steps whoever stands there.
inline std::uint64_t marked_squares(PieceKind kind, Color c, int sq, std::uint64_t occupied) {
    switch (kind) {
        case KNIGHT: return TABLES.knight[sq];
        case BISHOP: return ray_to_blocker(NORTH_EAST, sq, occupied) | ray_to_blocker(SOUTH_EAST, sq, occupied) |
                            ray_to_blocker(SOUTH_WEST, sq, occupied) | ray_to_blocker(NORTH_WEST, sq, occupied);
        case ROOK: return ray_to_blocker(NORTH, sq, occupied) | ray_to_blocker(EAST, sq, occupied) |
                          ray_to_blocker(SOUTH, sq, occupied) | ray_to_blocker(WEST, sq, occupied);
        case QUEEN: return marked_squares(BISHOP, c, sq, occupied) | marked_squares(ROOK, c, sq, occupied);
        case KING: return TABLES.king[sq];
        default: return TABLES.pawn[c][sq];
    }
}

// Every square a slider of `kind` reaches from `sq` on an empty board.
inline std::uint64_t empty_board_lines(PieceKind kind, int sq) {
    const std::uint64_t diagonals = TABLES.ray[NORTH_EAST][sq] | TABLES.ray[SOUTH_EAST][sq] | TABLES.ray[SOUTH_WEST][sq] | TABLES.ray[NORTH_WEST][sq];
    const std::uint64_t lines = TABLES.ray[NORTH][sq] | TABLES.ray[EAST][sq] | TABLES.ray[SOUTH][sq] | TABLES.ray[WEST][sq];
    return kind == BISHOP ? diagonals : kind == ROOK ? lines : diagonals | lines;
}

}  // namespace quill
