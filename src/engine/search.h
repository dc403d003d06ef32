// The five-ply full-width search and the capture search at its leaves.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "board/types.h"
#include "engine/build_profile.h"
#include "engine/capture_values.h"

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

// The records of the children under search, one per ply below the root: a node's child lives
// in the slot after its own, so no record is built (and zeroed) per node. Captures end long
// before the last slot; a deeper node uses a record of its own.
inline constexpr int CHILD_RECORD_SLOTS = 128;

// Stands for the value table in the builds whose capture search keeps none.
struct NoCaptureValues {};

// The search's working state, created by whoever searches (the program for its whole run,
// bench, a test) and handed to every search: the nodes visited, the child records and, in the
// builds whose capture search keeps one, the table of proven capture-search values. The
// engine's moves never depend on the table; only the nodes it takes to find them do.
template <const BuildProfile& P>
struct SearchContext {
    std::uint64_t nodes = 0;  // calls of search_root and capture_search
    std::uint64_t deepening_ends_at = 0;  // with a node limit: the count where the search stops deepening
    std::array<PositionRecord, CHILD_RECORD_SLOTS> child_records{};
    [[no_unique_address]] std::conditional_t<P.capture_method == CaptureMethod::ValueTable, CaptureValueTable,
                                             NoCaptureValues> capture_values{};
};

// Negamax with alpha-beta over pseudo-legal moves, `depth` plies above the leaves; returns
// the score for the side to move at this node (the engine at odd depths). At the root it
// records the first move, in ordinal order, that reaches the best score. The record must
// hold a position whose core is current; only its move ordinals change (root preparation).
template <const BuildProfile& P>
std::int32_t search_root(SearchContext<P>& context, int depth, std::int32_t alpha, std::int32_t beta,
                         PositionRecord& record, Color engine, SearchOutputs& outputs, int best_recorded);

// Captures-only search for the side after `moved` (castling and en passant included), with a
// stand-pat score; no depth limit. Only builds with a capture search carry it.
template <const BuildProfile& P>
std::int32_t capture_search(SearchContext<P>& context, Color moved, std::int32_t alpha, std::int32_t beta,
                            const PositionRecord& record);

}  // namespace quill
