// The search bodies. A program includes this where it instantiates the search of its own
// profile, so that each build carries only its own leaf and capture search.
#pragma once

#include <algorithm>
#include <bit>

#include "board/attack_maps.h"
#include "engine/capture_values.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/iterators.h"
#include "engine/moves_impl.h"
#include "engine/search.h"

namespace quill {

namespace detail {

// Whether a build with a node limit has used it up in the current search; always false for
// the programs.
template <const BuildProfile& P>
bool out_of_nodes(const SearchContext<P>& context) {
    if constexpr (P.node_limit == 0)
        return false;
    else
        return context.nodes >= context.deepening_ends_at;
}

// Loads a node's own record from its parent's core, regenerated, with no move made yet.
inline void load_node(const PositionRecord& parent, PositionRecord& node) {
    copy_position_core(parent, node);
    generate_moves(node);
    node.white_move_ordinal = node.black_move_ordinal = 0;
}

// Visits a node's moves, the first MAX_MOVE_ORDINAL candidates of the side's list in
// ordinal order, making none of them: `visit` (ordinal, candidate) returns true to stop.
// They are exactly the moves the side's iterator would make one by one on the node's
// record, which walks the same list again for every ordinal. The node's occupancy and
// attack maps are current; its slots are rebuilt only when a kind has more pieces than
// slots and the movers cannot be read from the piece boards.
// Whether side C's capture list is sure to be empty, after bringing its castling bits up to
// date: every capture lands on an attacked enemy square, and there is neither castling nor
// en passant to offer.
template <Color C>
bool capture_list_empty(PositionRecord& node) {
    update_castling_availability<C>(node);
    const bool special = (castling(node, C)[CASTLE_FLAGS_BYTE] & (CASTLE_SHORT_NOW | CASTLE_LONG_NOW)) ||
                         castling(node, C)[EN_PASSANT_BYTE];
    return !special && !attacks(node, C).intersects(pieces(node, ~C));
}

inline bool capture_list_empty(PositionRecord& node, Color side) {
    return side == WHITE ? capture_list_empty<WHITE>(node) : capture_list_empty<BLACK>(node);
}

template <Color C, MoveList L, typename Visit>
void for_each_move(PositionRecord& node, Visit&& visit) {
    if constexpr (L == MoveList::Captures) {
        if (capture_list_empty<C>(node)) return;
    } else {
        update_castling_availability<C>(node);
    }
    Movers movers;
    const bool from_boards = L == MoveList::Captures ? capture_movers_from_boards<C>(node, movers)
                                                     : movers_from_boards<C>(node, movers);
    if (!from_boards) {
        generate_moves(node);
        movers_from_slots<C>(node, movers);
    }
    walk_movers<C, L>(node, movers, 1, MAX_MOVE_ORDINAL, visit);
}

template <MoveList L, typename Visit>
void for_each_move(PositionRecord& node, Color side, Visit&& visit) {
    if (side == WHITE)
        for_each_move<WHITE, L>(node, visit);
    else
        for_each_move<BLACK, L>(node, visit);
}

// Runs `search` on the child record of the ply, from the context while it has one.
template <const BuildProfile& P, typename Search>
auto with_child_record(SearchContext<P>& context, int ply, Search&& search) {
    if (ply < CHILD_RECORD_SLOTS) return search(context.child_records[ply]);
    PositionRecord own;
    return search(own);
}

// The position after one of the node's moves, as the iterator leaves it but with only its
// occupancy and attack maps rebuilt: the evaluation needs no more, and for_each_move reads the
// movers from the piece boards. The full-width search also takes the mover's en-passant
// chance away. Returns the child's placement balance, given the node's.
inline std::int32_t make_child(const PositionRecord& node, Color side, const Candidate& c,
                               bool clear_en_passant, PositionRecord& child, std::int32_t balance) {
    copy_position_core(node, child);
    side == WHITE ? make_candidate<WHITE>(child, c) : make_candidate<BLACK>(child, c);
    if (clear_en_passant) expire_en_passant(child, side);
    child.move_made_flag = 1;
    generate_attack_maps(child);
    child.white_move_ordinal = child.black_move_ordinal = 0;
    return balance + placement_balance_change(node, child);
}

// The capture search on a node record whose occupancy and attack maps are current, and
// whose placement balance is `balance`.
template <const BuildProfile& P>
std::int32_t capture_node(SearchContext<P>& context, Color moved, std::int32_t alpha, std::int32_t beta,
                          PositionRecord& node, std::int32_t balance, int ply) {
    ++context.nodes;
    const Color side = ~moved;
    // engine-a stands pat for the side to move; engine-b keeps the view of the side that
    // has just moved.
    const Color viewer = P.leaf == Leaf::CaptureSearch ? side : moved;
    if (piece_board(node, viewer, KING).empty()) return KING_LOST_SCORE;
    const std::int32_t stand = evaluate_with_balance<P.evaluation>(node, viewer, balance);
    if (stand >= beta) return beta;
    if (stand > alpha) alpha = stand;
    if (out_of_nodes(context)) return alpha;

    return with_child_record(context, ply, [&](PositionRecord& child) {
        bool cutoff = false;
        for_each_move<MoveList::Captures>(node, side, [&](std::int32_t, const Candidate& move) {
            const std::int32_t child_balance = make_child(node, side, move, false, child, balance);
            const std::int32_t v = -capture_node<P>(context, side, -beta, -alpha, child, child_balance, ply + 1);
            if (v >= beta) return cutoff = true;
            if (v > alpha) alpha = v;
            return false;
        });
        return cutoff ? beta : alpha;
    });
}

// Order in which the value-table search tries a node's captures: the most valuable victim
// first, and of equal victims the least valuable attacker; en passant as a pawn taking a
// pawn, castling last. Any order gives the same value; this one finds cutoffs soonest.
inline int capture_priority(const PositionRecord& node, Color side, const Candidate& c) {
    constexpr int VICTIM_ORDER[PIECE_KIND_NB + 1] = {3, 3, 4, 5, 6, 1, 0};  // by PieceKind, none
    constexpr int ATTACKER_ORDER[PIECE_KIND_NB] = {2, 2, 3, 4, 5, 1};
    if (c.type == Candidate::SHORT_CASTLING || c.type == Candidate::LONG_CASTLING) return 0;
    if (c.type == Candidate::EN_PASSANT) return 8 * VICTIM_ORDER[PAWN] - ATTACKER_ORDER[PAWN];
    int victim = PIECE_KIND_NB;
    const std::uint64_t target = std::uint64_t{1} << c.square;
    for (int k = 0; k < PIECE_KIND_NB; ++k)
        if (piece_board(node, ~side, PieceKind(k)).bits & target) victim = k;
    return 8 * VICTIM_ORDER[victim] - ATTACKER_ORDER[c.kind];
}

// A capture named in sixteen bits, to remember which one proved a node's value: its type,
// origin and target. Never 0, which stands for none.
inline std::uint16_t capture_tag(const Candidate& c) {
    const bool piece = c.type == Candidate::PIECE_MOVE;
    const int from = piece ? std::countr_zero(c.from) : std::countr_zero(unsigned{c.from_file} | 0x100u);
    const int to = piece ? c.square : std::countr_zero(unsigned{c.to_file} | 0x100u);
    return static_cast<std::uint16_t>(0x8000u | unsigned{c.type} << 12 | (from & 63) << 6 | (to & 63));
}

// No bound: the capture is searched.
inline constexpr std::int32_t NO_BOUND = CAPTURE_VALUE_UNKNOWN_UPPER;

// Every square a piece of `kind` on `sq` could attack on some board: a slider's lines to the
// edge, the other kinds' own steps.
inline std::uint64_t reach_on_any_board(PieceKind kind, Color c, int sq) {
    switch (kind) {
        case KNIGHT: return TABLES.knight[sq];
        case KING: return TABLES.king[sq];
        case PAWN: return TABLES.pawn[c][sq];
        default: return empty_board_lines(kind, sq);
    }
}

// What one move leads to, worked out without making it: the mover's placement part after
// it, exactly, a set that holds every square the mover attacks after it, and a set of
// squares the enemy still attacks after it. `known` is false for castling, en passant, a
// piece in a shared slot, a square held by two boards, a move onto an own piece and a
// capture of (or in the absence of) the enemy king, which are not forecast.
//
// Why the sets hold: the move takes the piece from square f to t, removing the victim on t
// if there is one. Of the occupancy f is emptied and t filled (it stays filled after a
// capture):
// - the mover's attack map after the move lies within its map before, plus f itself (a
//   knight's jump onto f counts once f is no longer its own), plus whatever a line through f
//   now reaches beyond it (within the queen's lines from f), plus what the piece can attack
//   from t (a pawn arriving on its last rank is a queen once the maps are built); every
//   other mark stays or shrinks (a line through t now ends there);
// - the enemy's map after the move keeps every square attacked before by a piece other than
//   the victim, except where a line through t now ends at t: its lines through f only grow,
//   and its marks on t and on f stay (an enemy square is marked like an empty one). So it
//   holds at least its map before less every square the victim could attack from t, and
//   after a move onto an empty t less the queen's lines from t.
struct MoveForecast {
    bool known;
    std::int32_t placement;
    std::uint64_t own_attacks_at_most, enemy_attacks_at_least;
};

inline MoveForecast forecast_move(const PositionRecord& node, Color side, const Candidate& c, std::int32_t placement) {
    constexpr MoveForecast UNKNOWN{false, 0, 0, 0};
    if (c.type != Candidate::PIECE_MOVE || (c.from & (c.from - 1)) != 0) return UNKNOWN;
    const Color enemy = ~side;
    const std::uint64_t to = std::uint64_t{1} << c.square;
    if (pieces(node, side).bits & to) return UNKNOWN;
    int victim = -1;
    for (int k = 0; k < PIECE_KIND_NB; ++k)
        if (piece_board(node, enemy, PieceKind(k)).bits & to) {
            if (victim >= 0) return UNKNOWN;
            victim = k;
        }
    if (victim == KING || piece_board(node, enemy, KING).empty()) return UNKNOWN;
    const int from = std::countr_zero(c.from);
    const PieceKind arrives = c.kind == PAWN && relative_rank(side, c.square / 8) == 7 ? QUEEN : c.kind;
    const std::int32_t taken = victim < 0 ? 0 : piece_square_value(enemy, PieceKind(victim), c.square);
    const std::uint64_t enemy_loses =
        victim < 0 ? empty_board_lines(QUEEN, c.square) : reach_on_any_board(PieceKind(victim), enemy, c.square);
    return {true,
            placement - piece_square_value(side, c.kind, from) + piece_square_value(side, arrives, c.square) + taken,
            attacks(node, side).bits | c.from | empty_board_lines(QUEEN, from) | reach_on_any_board(arrives, side, c.square),
            attacks(node, enemy).bits & ~enemy_loses};
}

// An upper bound on the mover's evaluation of the position after a move, or NO_BOUND when it
// is not forecast: the forecast placement, the most the attacked squares can add, and the
// check bonus if the mover may then attack the enemy king. Without `check`, the bound leaves
// the mover's check bonus out (for the child's own view, which gives the bonus only to the
// side to move, it is the capturer's score negated that is bounded, and that never holds it).
inline std::int32_t evaluation_after_move_bound(const PositionRecord& node, Color side, const Candidate& c,
                                                std::int32_t placement, bool check) {
    const MoveForecast f = forecast_move(node, side, c, placement);
    if (!f.known) return NO_BOUND;
    const bool may_check = check && (f.own_attacks_at_most & piece_board(node, ~side, KING).bits) != 0;
    return f.placement + (may_check ? CHECK_BONUS : 0) +
           attack_weight(Evaluation::Standard) *
               (count_squares(f.own_attacks_at_most) - count_squares(f.enemy_attacks_at_least));
}

// The bound for a capture in the capture search: the child's stand-pat score, negated.
inline std::int32_t stand_after_capture_bound(const PositionRecord& node, Color side, const Candidate& c,
                                              std::int32_t placement) {
    return evaluation_after_move_bound(node, side, c, placement, false);
}

// The capture search on a node record whose occupancy and attack maps are current, by the
// value table: returns what capture_node returns (the value clipped to alpha..beta), trying
// the same captures in a better order and skipping whatever the table already proves.
template <const BuildProfile& P>
std::int32_t table_capture_node(SearchContext<P>& context, Color moved, std::int32_t alpha, std::int32_t beta,
                                PositionRecord& node, std::int32_t balance, int ply) {
    static_assert(P.evaluation == Evaluation::Standard, "a noisy evaluation has no fixed value to keep");
    ++context.nodes;
    const std::uint64_t nodes_before = context.nodes - 1;
    const Color side = ~moved;
    const Color viewer = P.leaf == Leaf::CaptureSearch ? side : moved;
    if (piece_board(node, viewer, KING).empty()) return KING_LOST_SCORE;

    CaptureValueTable& table = context.capture_values;
    const CapturePositionKey key = CaptureValueTable::key_of(node, side);
    table.prefetch(key);

    // The value is the best of standing pat and the captures, so it is at least the
    // stand-pat score: at or above beta that alone decides, with no need of the table.
    const std::int32_t stand = evaluate_with_balance<P.evaluation>(node, viewer, balance);
    if (stand >= beta) return beta;
    // Without a capture to try the value is the stand-pat score. Past a node limit the
    // search stands pat as well.
    if (out_of_nodes(context) || capture_list_empty(node, side)) return stand > alpha ? stand : alpha;

    // Known bounds narrow the window: the value clipped to the narrower window is the value
    // clipped to the wider one.
    // Only values found without reaching a node limit are proven; the counter only grows, so
    // one that is still below the limit when a value is found was below it all along.
    const auto remember = [&](std::int32_t lower, std::int32_t upper, std::uint16_t best) {
        if (!out_of_nodes(context)) table.record(key, lower, upper, best, context.nodes - nodes_before);
    };
    std::uint16_t known_best = 0;
    if (const CaptureBounds* known = table.find(key)) {
        if (known->lower >= beta) return beta;
        if (known->upper <= alpha) return alpha;
        if (known->lower == known->upper) return known->lower;
        if (known->lower > alpha) alpha = known->lower;
        if (known->upper < beta) beta = known->upper;
        known_best = known->best;
    }
    if (stand >= beta) {
        remember(stand, CAPTURE_VALUE_UNKNOWN_UPPER, 0);
        return beta;
    }
    const std::int32_t alpha_in = alpha;
    if (stand > alpha) alpha = stand;

    // The captures the node-by-node walk would try (the first hundred of the capture list):
    // the one that proved this position's value before, then the most valuable victims.
    struct Ranked {
        int priority;
        Candidate move;
    };
    std::array<Ranked, MAX_MOVE_ORDINAL> moves;
    int count = 0;
    for_each_move<MoveList::Captures>(node, side, [&](std::int32_t, const Candidate& move) {
        constexpr int FIRST = 1 << 20;
        moves[count++] = {known_best != 0 && capture_tag(move) == known_best ? FIRST : capture_priority(node, side, move),
                          move};
        return false;
    });
    // A stable insertion sort: the lists are short.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && moves[j - 1].priority < moves[j].priority; --j) std::swap(moves[j - 1], moves[j]);

    // A capture whose child stands pat at or below alpha cannot raise alpha: the child's
    // score is at least its stand-pat score below its beta (-alpha), so the capture's score
    // is at most alpha, and the node would go on exactly as if it had not been tried. Only
    // engine-a's form, which stands pat for the side to move, is bounded this way.
    constexpr bool PRUNE = P.leaf == Leaf::CaptureSearch && P.node_limit == 0;
    const std::int32_t placement = placement_for(side, balance);

    return with_child_record(context, ply, [&](PositionRecord& child) {
        std::uint16_t best = 0;
        for (int i = 0; i < count; ++i) {
            if (PRUNE && stand_after_capture_bound(node, side, moves[i].move, placement) <= alpha) continue;
            const std::int32_t child_balance = make_child(node, side, moves[i].move, false, child, balance);
            const std::int32_t v = -table_capture_node<P>(context, side, -beta, -alpha, child, child_balance, ply + 1);
            if (v >= beta) {
                remember(beta, CAPTURE_VALUE_UNKNOWN_UPPER, capture_tag(moves[i].move));
                return beta;
            }
            if (v > alpha) {
                alpha = v;
                best = capture_tag(moves[i].move);
            }
        }
        // Above the window's floor the value is exact; at the floor it is only bounded.
        if (alpha > alpha_in)
            remember(alpha, alpha, best);
        else
            remember(CAPTURE_VALUE_UNKNOWN_LOWER, alpha, 0);
        return alpha;
    });
}

// The capture search by the build's method.
template <const BuildProfile& P>
std::int32_t leaf_capture_node(SearchContext<P>& context, Color moved, std::int32_t alpha, std::int32_t beta,
                               PositionRecord& node, std::int32_t balance, int ply) {
    if constexpr (P.capture_method == CaptureMethod::ValueTable)
        return table_capture_node<P>(context, moved, alpha, beta, node, balance, ply);
    else
        return capture_node<P>(context, moved, alpha, beta, node, balance, ply);
}

// The window of a leaf's capture search.
struct LeafWindow {
    std::int32_t alpha, beta;
};

// The window in which a leaf's capture search runs: the whole capture window, or, where it
// is proven to make no difference, the leaf's own alpha-beta window within it.
//
// Why the narrower window is exact for a leaf at depth 1 with two full-width nodes above it
// in this search (ply >= 2), in a search without a node limit. Let the leaf's window be
// (a, b), so its parent P (depth 2, not the root) has the window (-b, -a) and receives
// v = -L for the leaf's score L. The capture search returns its value clipped to the window
// it is given, so with the window (max(a, -W), min(b, W)) inside (-W, W) it returns the
// whole-window score L clipped once more. Three cases:
// - -b < v < -a: L lies strictly inside (a, b) and is returned unchanged.
// - v <= -b (L >= b): the narrow score is min(b, W) >= b too, so v stays <= P's alpha; P
//   then neither raises alpha nor cuts off, and P is not the root, so nothing depends on
//   how far below alpha v lies.
// - v >= -a (L <= a): the narrow score is max(a, -W) <= a, so P still cuts off, now
//   returning some v' >= P's beta instead of v. P's parent G (depth 3, never the root,
//   which is depth 5) receives -v' <= its alpha, exactly as it received -v: G neither
//   raises alpha nor cuts off; and if G is where this search started, G returns alpha or
//   another child's cutoff score, never this one.
// So every node from G up sees the same alphas, cutoffs and returned scores, and the root
// records the same moves. With a node limit a capture search's result depends on the nodes
// it has walked, so those builds keep the whole window.
template <const BuildProfile& P>
LeafWindow leaf_window(int depth, std::int32_t alpha, std::int32_t beta, int ply) {
    constexpr LeafWindow whole{-CAPTURE_WINDOW, CAPTURE_WINDOW};
    if constexpr (P.capture_method != CaptureMethod::ValueTable || P.node_limit != 0) {
        return whole;
    } else {
        if (depth != 1 || ply < 2) return whole;
        const LeafWindow narrow{std::max(alpha, whole.alpha), std::min(beta, whole.beta)};
        return narrow.alpha < narrow.beta ? narrow : whole;
    }
}

// What every node of one full-width search shares: the context, the outputs and the engine's
// colour, handed down by one reference.
template <const BuildProfile& P>
struct SearchRun {
    SearchContext<P>& context;
    SearchOutputs& out;
    Color engine;
};

// The full-width search on a node record whose occupancy and attack maps are current and
// whose placement balance is `balance`; the caller has counted the node.
template <const BuildProfile& P>
std::int32_t search_body(const SearchRun<P>& run, int depth, std::int32_t alpha, std::int32_t beta,
                         PositionRecord& node, std::int32_t balance, int best_recorded, int ply) {
    SearchContext<P>& context = run.context;
    SearchOutputs& out = run.out;
    const Color engine = run.engine;
    // The engine moves at odd depths, its opponent at even ones.
    const Color side = (ROOT_DEPTH - depth) % 2 == 0 ? engine : ~engine;
    // Past a node limit every node below the root is a leaf; the root still tries its moves.
    const bool limit_reached = ply > 0 && out_of_nodes(context);

    if constexpr (P.leaf == Leaf::CaptureSearch) {
        if (depth <= 1 || limit_reached) {
            if (piece_board(node, ~side, KING).empty()) return KING_LOST_SCORE;
            const LeafWindow w = leaf_window<P>(depth, alpha, beta, ply);
            return leaf_capture_node<P>(context, ~side, w.alpha, w.beta, node, balance, ply);
        }
    } else if constexpr (P.leaf == Leaf::NegatedCaptureSearch) {
        if (depth <= 2 || limit_reached) {
            if (piece_board(node, ~side, KING).empty()) return KING_LOST_SCORE;
            return -leaf_capture_node<P>(context, ~side, -CAPTURE_WINDOW, CAPTURE_WINDOW, node, balance, ply);
        }
    } else {
        if (depth <= 1 || limit_reached) return -evaluate_with_balance<P.evaluation>(node, ~side, balance);
    }

    // Above the leaves, a move whose leaf score is proven to be at most alpha changes nothing
    // here: below the root a score at or under alpha neither raises alpha nor cuts off. Its
    // leaf need not be built; it is still counted, so that the node counts stay those of the
    // whole walk where they are pinned. The bound: engine-e and engine-f score the leaf with
    // the mover's own evaluation of the position after the move (the negated evaluation of
    // the side not to move there); engine-a with the negated capture search of the other
    // side, which is at most the negated stand-pat score below its beta and exactly alpha at
    // or above it. Both need the mover's king (its placement part, and engine-a's leaf scores
    // a missing one), and the noisy builds draw random numbers in every evaluation, so they
    // build every leaf.
    constexpr bool SKIP_LEAVES =
        P.node_limit == 0 &&
        ((P.leaf == Leaf::NegatedEvaluation && P.evaluation == Evaluation::Standard) ||
         (P.leaf == Leaf::CaptureSearch && P.capture_method == CaptureMethod::ValueTable));
    const bool skip_leaves = SKIP_LEAVES && depth == 2 && depth != ROOT_DEPTH && piece_board(node, side, KING).any();
    const std::int32_t placement = placement_for(side, balance);
    constexpr bool LEAF_CHECK_BONUS = P.leaf == Leaf::NegatedEvaluation;

    return with_child_record(context, ply, [&](PositionRecord& child) {
        std::int32_t result = 0;
        bool returned = false;
        for_each_move<MoveList::Full>(node, side, [&](std::int32_t ordinal, const Candidate& move) {
            if (skip_leaves && evaluation_after_move_bound(node, side, move, placement, LEAF_CHECK_BONUS) <= alpha) {
                ++context.nodes;
                if (best_recorded == 0) out.best_ordinal = NO_MOVE;
                return false;
            }
            // An en-passant chance lasts exactly one reply.
            const std::int32_t child_balance = make_child(node, side, move, true, child, balance);
            ++context.nodes;
            const std::int32_t v =
                -search_body<P>(run, depth - 1, -beta, -alpha, child, child_balance, best_recorded, ply + 1);

            if (depth == ROOT_DEPTH) {
                if (v == alpha && best_recorded == 0) {
                    result = v;
                    return returned = true;
                }
                if (v <= alpha) out.choice_flag = 1;
                if (v > alpha && ordinal != out.excluded_ordinal) {
                    out.best_ordinal = out.second_ordinal = ordinal;
                    out.choice_flag = 0;
                    best_recorded = 1;
                }
            }
            if (best_recorded == 0) out.best_ordinal = NO_MOVE;
            if (v > alpha) alpha = v;
            if (v >= beta) {  // the cutoff returns the score itself
                result = v;
                return returned = true;
            }
            return false;
        });
        return returned ? result : alpha;
    });
}

}  // namespace detail

template <const BuildProfile& P>
std::int32_t capture_search(SearchContext<P>& context, Color moved, std::int32_t alpha, std::int32_t beta,
                            const PositionRecord& record) {
    static_assert(P.has_capture_search());
    PositionRecord node;
    detail::load_node(record, node);
    return detail::leaf_capture_node<P>(context, moved, alpha, beta, node, placement_balance(node), 0);
}

template <const BuildProfile& P>
std::int32_t search_root(SearchContext<P>& context, int depth, std::int32_t alpha, std::int32_t beta,
                         PositionRecord& record, Color engine, SearchOutputs& out, int best_recorded) {
    static_assert(P.has_search());
    ++context.nodes;
    if constexpr (P.node_limit != 0) context.deepening_ends_at = context.nodes + P.node_limit;

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

    if constexpr (P.capture_method == CaptureMethod::ValueTable) context.capture_values.start_search();
    PositionRecord node;
    detail::load_node(record, node);
    const detail::SearchRun<P> run{context, out, engine};
    return detail::search_body<P>(run, depth, alpha, beta, node, placement_balance(node), best_recorded, 0);
}

}  // namespace quill
