// Static evaluation: material, piece-square values and attacked squares of both sides.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "engine/build_profile.h"

namespace quill {

// Scores a record from one side's view: that side's total minus
// the other's, or KING_LOST_SCORE when the viewing side has no king. The record must have
// been brought up to date by generate_moves; it is not changed. Instantiated for
// Evaluation::Standard (attack weight 3) and Evaluation::Noisy (attack weight 4 and two
// draws of std::rand() per call, deducted from White's and then Black's total).
template <Evaluation E>
std::int32_t evaluate_position(const PositionRecord& record, Color view);

extern template std::int32_t evaluate_position<Evaluation::Standard>(const PositionRecord&, Color);
extern template std::int32_t evaluate_position<Evaluation::Noisy>(const PositionRecord&, Color);

}  // namespace quill
