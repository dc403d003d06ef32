// The two-view board diagram shown on request.
#pragma once

#include <ostream>

#include "board/types.h"

namespace quill {

// Rewrites `text` from the piece boards and prints the board as White sees it beside the
// board as Black sees it. The last line has no newline (the caller ends it); no flush.
void show_board(std::ostream& out, const PositionRecord& boards, BoardText& text);

}  // namespace quill
