// A build profile: the few points at which the seven programs differ, fixed at build time.
#pragma once

#include <cstdint>
#include <string_view>

namespace quill {

// How the game loop treats a game: play it, play it and announce its end, or judge moves.
enum class GameLoopKind { Standard, Announcing, MoveChecking };

// Static evaluation: attack weight 3 without noise, or weight 4 with a random deduction.
enum class Evaluation { Standard, Noisy, None };

// What scores the leaves of the full-width search.
enum class Leaf {
    CaptureSearch,          // capture search for the side to move at depth 1 and below
    NegatedCaptureSearch,   // negated capture search seen from the side that moved, depth 2 and below
    NegatedEvaluation,      // negated evaluation of the side not to move, depth 1 and below
    None,                   // no search at all
};

// How the capture search reaches its score. Its score is the minimax value of the
// captures-only tree, clipped to the window, whatever order the moves are tried in; so it may
// either take the node-by-node walk, visiting every node in ordinal order, or look the
// value up in a table of values already proven and try the best captures first. The engine's
// moves are the same either way; only the nodes visited differ.
enum class CaptureMethod {
    EveryNode,   // the node-by-node walk: every node, in ordinal order
    ValueTable,  // proven values and bounds remembered, captures of the most valuable pieces first
};

struct BuildProfile {
    std::string_view name;    // program name, e.g. "engine-a"
    std::string_view banner;  // first line printed, with its newline
    std::string_view summary; // what the program is, in one line of its --help
    bool seeds_generator;     // seed the standard generator from the clock at start-up
    GameLoopKind game_loop;
    Evaluation evaluation;
    Leaf leaf;
    CaptureMethod capture_method = CaptureMethod::EveryNode;
    // Nodes one search may visit before it stops deepening; 0, no limit, in every program.
    // Only test builds set it (the fuzz targets play thousands of replies a second): past the
    // limit every node below the root is scored as a leaf and the capture search stands pat,
    // so a reply costs about the limit and is still one of the side's moves.
    std::uint64_t node_limit = 0;

    constexpr bool has_capture_search() const {
        return leaf == Leaf::CaptureSearch || leaf == Leaf::NegatedCaptureSearch;
    }
    constexpr bool has_search() const { return leaf != Leaf::None; }
};

// The same build with a search that stops deepening after `nodes` nodes (test builds only).
constexpr BuildProfile with_node_limit(BuildProfile p, std::uint64_t nodes) {
    p.node_limit = nodes;
    return p;
}

}  // namespace quill
