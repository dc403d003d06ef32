// Counting the positions a fixed number of plies below a position, walking the legal moves
// with the legal iterators as the engine walks them; used by the perft tool and its tests.
#pragma once

#include <cstdint>

#include "board/attack_maps.h"
#include "engine/iterators.h"

namespace quill {

// A visitor that ignores every move; the walk below the root uses it.
struct PerftIgnore {
    void operator()(const PositionRecord&, const PositionRecord&, std::uint64_t) const {}
};

// Counts the leaves `depth` plies below `position`, `side` to move, and calls
// visit(position, after, count) for each legal root move with the position after it and the
// leaves below it. Each move is made on a copy whose core is restored (and regenerated)
// before the next, keeping the move ordinal; the mover's own en-passant mask is cleared after
// each move, as the search does. Only the piece boards and castling states of `position` are
// read.
template <typename Visit>
std::uint64_t perft_walk(const PositionRecord& position, Color side, int depth, Visit&& visit) {
    if (depth <= 0) return 1;
    PositionRecord node = position;
    node.white_move_ordinal = node.black_move_ordinal = 0;
    generate_moves(node);
    std::uint64_t total = 0;
    while (make_next_legal_move(node, side) == 0) {
        expire_en_passant(node, side);
        const std::uint64_t count = perft_walk(node, ~side, depth - 1, PerftIgnore{});
        visit(position, node, count);
        total += count;
        copy_position_core(position, node);
        generate_moves(node);
    }
    return total;
}

// The leaf count alone.
inline std::uint64_t perft(const PositionRecord& position, Color side, int depth) {
    return perft_walk(position, side, depth, PerftIgnore{});
}

}  // namespace quill
