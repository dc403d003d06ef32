// Castling rights and en-passant chances after a book answer. An answer replaces the whole
// position, yet it stands for a move of the game: the rights it leaves are read from what it
// changed, as the move makers would have left them.
#pragma once

#include "board/types.h"

namespace quill {

// Brings the castle flags and en-passant masks of `answer` up to date after `engine` adopted
// it as its move; `before` is the position it replaced, whose rights `answer` still carries.
// A side whose king square (e1, e8) changed loses every castle flag, as after a king move; a
// side whose corner (a1/h1, a8/h8) changed loses that corner's rook flag, whoever's answer it
// was. When the whole change is one pawn double step of the engine's side, the opponent gets
// the en passant on that file. The engine's own en-passant chance is gone after its move.
void adopt_answer_rights(const PositionRecord& before, PositionRecord& answer, Color engine);

}  // namespace quill
