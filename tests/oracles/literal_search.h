// The search exactly as first written: every node walks its moves through the move
// iterators, which copy and regenerate the record and walk the move list again for each
// ordinal. Kept for the tests, which hold the engine's faster search against it.
#pragma once

#include "engine/search.h"

#include "board/attack_maps.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/iterators.h"

namespace quill::oracle {

inline std::uint64_t node_counter = 0;

namespace detail {

// Loads a node's own record from its parent's core, regenerated, with no move made yet.
inline void load_node(const PositionRecord& parent, PositionRecord& node) {
    copy_position_core(parent, node);
    generate_moves(node);
    node.white_move_ordinal = node.black_move_ordinal = 0;
}

template <MoveList L>
inline int make_next(PositionRecord& r, Color side) {
    if (side == WHITE) return make_next_move<WHITE, L, false>(r);
    return make_next_move<BLACK, L, false>(r);
}

}  // namespace detail

template <const BuildProfile& P>
std::int32_t capture_search(Color moved, std::int32_t alpha, std::int32_t beta, const PositionRecord& record) {
    static_assert(P.has_capture_search());
    ++node_counter;
    using namespace detail;
    const Color side = ~moved;
    PositionRecord node;
    load_node(record, node);

    // engine-a stands pat for the side to move; engine-b keeps the view of the side that
    // has just moved.
    const Color viewer = P.leaf == Leaf::CaptureSearch ? side : moved;
    if (piece_board(node, viewer, KING).empty()) return KING_LOST_SCORE;
    const std::int32_t stand = evaluate_position<P.evaluation>(node, viewer);
    if (stand >= beta) return beta;
    if (stand > alpha) alpha = stand;

    while (make_next<MoveList::Captures>(node, side) == 0) {
        const std::int32_t v = -oracle::capture_search<P>(side, -beta, -alpha, node);
        copy_position_core(record, node);
        if (v >= beta) return beta;
        if (v > alpha) alpha = v;
    }
    return alpha;
}

template <const BuildProfile& P>
std::int32_t search_root(int depth, std::int32_t alpha, std::int32_t beta, PositionRecord& record,
                         Color engine, SearchOutputs& out, int best_recorded) {
    static_assert(P.has_search());
    ++node_counter;
    using namespace detail;

    // Root preparation: the first legal move stands as the answer until one is recorded.
    if (depth == ROOT_DEPTH && out.root_flag == 0) {
        const PositionRecord snapshot = record;
        generate_moves(record);
        const int none = make_next_legal_move(record, engine);
        out.best_ordinal = move_ordinal(record, engine);
        record = snapshot;
        record.white_move_ordinal = record.black_move_ordinal = 0;
        if (none) return KING_LOST_SCORE;
        out.root_flag = 1;
    }

    PositionRecord node;
    load_node(record, node);
    // The engine moves at odd depths, its opponent at even ones.
    const Color side = (ROOT_DEPTH - depth) % 2 == 0 ? engine : ~engine;

    if constexpr (P.leaf == Leaf::CaptureSearch) {
        if (depth <= 1) {
            if (piece_board(node, ~side, KING).empty()) return KING_LOST_SCORE;
            return oracle::capture_search<P>(~side, -CAPTURE_WINDOW, CAPTURE_WINDOW, node);
        }
    } else if constexpr (P.leaf == Leaf::NegatedCaptureSearch) {
        if (depth <= 2) {
            if (piece_board(node, ~side, KING).empty()) return KING_LOST_SCORE;
            return -oracle::capture_search<P>(~side, -CAPTURE_WINDOW, CAPTURE_WINDOW, node);
        }
    } else {
        if (depth <= 1) return -evaluate_position<P.evaluation>(node, ~side);
    }

    for (;;) {
        if (make_next<MoveList::Full>(node, side)) return alpha;
        // An en-passant chance lasts exactly one reply.
        expire_en_passant(node, side);
        const std::int32_t v = -oracle::search_root<P>(depth - 1, -beta, -alpha, node, engine, out, best_recorded);
        copy_position_core(record, node);

        if (depth == ROOT_DEPTH) {
            if (v == alpha && best_recorded == 0) return v;
            if (v <= alpha) out.choice_flag = 1;
            const std::int32_t ordinal = move_ordinal(node, engine);
            if (v > alpha && ordinal != out.excluded_ordinal) {
                out.best_ordinal = out.second_ordinal = ordinal;
                out.choice_flag = 0;
                best_recorded = 1;
            }
        }
        if (best_recorded == 0) out.best_ordinal = NO_MOVE;
        if (v > alpha) alpha = v;
        if (v >= beta) return v;  // the cutoff returns the score itself
    }
}

}  // namespace quill::oracle
