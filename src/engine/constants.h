// The engine's named values: move ordinal limits, scores, windows and depths.
#pragma once

#include <cstdint>
#include <limits>

namespace quill {

// Move ordinals.
inline constexpr std::int32_t ORDINAL_EXHAUSTED = 200;  // the enumeration ran out
inline constexpr std::int32_t MAX_MOVE_ORDINAL = 100;   // iterators treat higher as no move
inline constexpr std::int32_t NO_MOVE = 999;            // best move of a side with no move
inline constexpr std::int32_t EXCLUDE_NOTHING = 299;    // an excluded ordinal no move has

// Scores.
inline constexpr std::int32_t KING_LOST_SCORE = -19999;  // the viewing side has no king
inline constexpr std::int32_t ROOT_WINDOW = 25000;       // root search window -25000..25000
inline constexpr std::int32_t CAPTURE_WINDOW = 20000;    // capture search window
// Bounds of a capture-search value about which nothing is known yet: beyond any score.
inline constexpr std::int32_t CAPTURE_VALUE_UNKNOWN_LOWER = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int32_t CAPTURE_VALUE_UNKNOWN_UPPER = std::numeric_limits<std::int32_t>::max();

// Depth of the full-width search, in plies.
inline constexpr int ROOT_DEPTH = 5;


}  // namespace quill
