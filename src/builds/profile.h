// A build profile: the few points at which the seven programs differ, fixed at build time.
#pragma once

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

struct BuildProfile {
    std::string_view name;    // program name, e.g. "engine-a"
    std::string_view banner;  // first line printed, with its newline
    bool seeds_generator;     // seed the standard generator from the clock at start-up
    GameLoopKind game_loop;
    Evaluation evaluation;
    Leaf leaf;

    constexpr bool has_capture_search() const {
        return leaf == Leaf::CaptureSearch || leaf == Leaf::NegatedCaptureSearch;
    }
    constexpr bool has_search() const { return leaf != Leaf::None; }
};

}  // namespace quill
