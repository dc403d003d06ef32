// The attack and generation passes computed literally, one shift at a time along every ray.
// They define the maps; the table-driven passes of attack_maps.cpp must give the same
// boards, and the tests hold the two side by side.
#pragma once

#include "board/types.h"

namespace quill {

void build_attack_maps_by_steps(GameMaps& maps);
void build_target_maps_by_steps(PositionRecord& record);

}  // namespace quill
