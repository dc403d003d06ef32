// The attack and generation passes computed literally, one shift at a time along every ray:
// the reference the table-driven passes of attack_maps.cpp are held against, board for board.
#pragma once

#include "board/types.h"

namespace quill {

void build_attack_maps_by_steps(GameMaps& maps);
void build_target_maps_by_steps(PositionRecord& record);

}  // namespace quill
