// Per-square tables of rays, jumps and steps, derived at compile time from the shifts.
#pragma once

#include <bit>

#include "board/shifts.h"

namespace quill {

namespace step_tables {

// Per-square tables of every ray, jump and step, derived once from the shift primitives:
// the squares a piece reaches on an empty board, in the order the passes walk them.
struct StepTables {
    static constexpr int DIRECTIONS = 8;  // N, NE, E, SE, S, SW, W, NW
    std::uint64_t ray[DIRECTIONS][64]{};
    bool ascending[DIRECTIONS]{};  // whether bit indexes grow along the direction
    std::uint64_t knight[64]{};
    std::uint64_t king[64]{};
    std::uint64_t pawn[2][64]{};
};

constexpr Direction TABLE_DIRS[StepTables::DIRECTIONS] = {DIR_N, DIR_NE, DIR_E, DIR_SE,
                                                          DIR_S, DIR_SW, DIR_W, DIR_NW};
enum TableDirection : int { N, NE, E, SE, S, SW, W, NW };

constexpr StepTables derive_step_tables() {
    StepTables t;
    for (int sq = 0; sq < 64; ++sq) {
        const ByteBoard start{std::uint64_t{1} << sq};
        for (int d = 0; d < StepTables::DIRECTIONS; ++d) {
            ByteBoard s = start;
            // A ray ends at the first failed step; later steps in it never mark.
            for (int step = 0; step < 8 && !apply_direction(TABLE_DIRS[d], s); ++step) t.ray[d][sq] |= s.bits;
            s = start;
            if (!apply_direction(TABLE_DIRS[d], s)) t.king[sq] |= s.bits;
        }
        for (const Direction& jump : KNIGHT_JUMPS) {
            ByteBoard s = start;
            if (!apply_direction(jump, s)) t.knight[sq] |= s.bits;
        }
        for (const Direction& d : {DIR_NE, DIR_NW}) {
            ByteBoard s = start;
            if (!apply_direction(d, s)) t.pawn[WHITE][sq] |= s.bits;
        }
        for (const Direction& d : {DIR_SE, DIR_SW}) {
            ByteBoard s = start;
            if (!apply_direction(d, s)) t.pawn[BLACK][sq] |= s.bits;
        }
    }
    for (int d = 0; d < StepTables::DIRECTIONS; ++d) {
        ByteBoard s{std::uint64_t{1} << 27};  // a central square
        apply_direction(TABLE_DIRS[d], s);
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
        case BISHOP: return ray_to_blocker(NE, sq, occupied) | ray_to_blocker(SE, sq, occupied) |
                            ray_to_blocker(SW, sq, occupied) | ray_to_blocker(NW, sq, occupied);
        case ROOK: return ray_to_blocker(N, sq, occupied) | ray_to_blocker(E, sq, occupied) |
                          ray_to_blocker(S, sq, occupied) | ray_to_blocker(W, sq, occupied);
        case QUEEN: return marked_squares(BISHOP, c, sq, occupied) | marked_squares(ROOK, c, sq, occupied);
        case KING: return TABLES.king[sq];
        default: return TABLES.pawn[c][sq];
    }
}

// Every square a slider of `kind` reaches from `sq` on an empty board.
inline std::uint64_t empty_board_lines(PieceKind kind, int sq) {
    const std::uint64_t diagonals = TABLES.ray[NE][sq] | TABLES.ray[SE][sq] | TABLES.ray[SW][sq] | TABLES.ray[NW][sq];
    const std::uint64_t lines = TABLES.ray[N][sq] | TABLES.ray[E][sq] | TABLES.ray[S][sq] | TABLES.ray[W][sq];
    return kind == BISHOP ? diagonals : kind == ROOK ? lines : diagonals | lines;
}

}  // namespace step_tables

}  // namespace quill
