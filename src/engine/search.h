// The five-ply full-width search and the capture search at its leaves.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "engine/build_profile.h"

namespace quill {

// The search's results, owned by the game loop. best_ordinal and second_ordinal carry the
// same ordinal; choice_flag says which one to play (1 best, 0 second). root_flag is cleared
// by the caller before each search so that only the first call prepares the root.
struct SearchOutputs {
    std::int32_t best_ordinal = 0;
    std::int32_t second_ordinal = 0;
    std::int32_t choice_flag = 0;
    std::int32_t root_flag = 0;
    std::int32_t excluded_ordinal = 0;  // a root ordinal that may not be recorded (input only)
};

// The colour played by the engine: engine_side 0 is Black, 1 is White.
constexpr Color engine_color(int engine_side) { return engine_side == 1 ? WHITE : BLACK; }

// Negamax with alpha-beta over pseudo-legal moves, `depth` plies above the leaves; returns
// the score for the side to move at this node (the engine at odd depths). At the root it
// records the first move, in ordinal order, that reaches the best score. The record must
// hold a position whose core is current; only its move ordinals change (root preparation).
template <const BuildProfile& P>
std::int32_t search_root(int depth, std::int32_t alpha, std::int32_t beta, PositionRecord& record,
                         int engine_side, SearchOutputs& outputs, int best_recorded);

// Captures-only search for the side after `moved` (castling and en passant included), with a
// stand-pat score; no depth limit. Only builds with a capture search carry it.
template <const BuildProfile& P>
std::int32_t capture_search(Color moved, std::int32_t alpha, std::int32_t beta, const PositionRecord& record);

// Empties the build's table of proven capture-search values, if it keeps one. The engine's
// moves never depend on the table; only the nodes it takes to find them do.
template <const BuildProfile& P>
void forget_capture_values();

// Nodes visited: calls of search_root and capture_search since it was last set to 0.
inline std::uint64_t search_node_counter = 0;

}  // namespace quill
