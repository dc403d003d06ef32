// The attack pass and the generation pass: occupancy, attack maps and every piece's targets.
#pragma once

#include "board/types.h"

namespace quill {

// Rebuilds occupancy, both attack maps and all PieceSlots from the piece boards, turning
// pawns on their last rank into queens first. A ray ends before an own piece.
void build_attack_maps(GameMaps& maps);

// The same pass with the generation step: the first blocker of a ray is marked whatever its
// colour, and knights keep own squares in their targets (generate_moves removes them).
void build_target_maps(PositionRecord& record);

// Brings a record up to date after its piece boards changed: build_target_maps, then every
// targets board loses the squares of its own colour. The targets boards are the move list.
void generate_moves(PositionRecord& record);

// Promotes pawns on the last rank and rebuilds occupancy and both attack maps exactly as
// generate_moves leaves them, but not the slots: enough for the evaluation, at a fraction of
// the cost. The slots are stale until the next generate_moves.
void generate_attack_maps(PositionRecord& record);

}  // namespace quill
