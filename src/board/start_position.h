// The position every game starts from.
#pragma once

#include "board/types.h"

namespace quill {

// The game maps of the start position: the pieces of START_TEXT, both castling states at
// their start values and the attack pass run over them; everything else zero.
GameMaps start_position();

}  // namespace quill
