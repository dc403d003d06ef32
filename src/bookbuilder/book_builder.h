// bookbuilder: a console tool that shows a board, lets the user set up positions and move
// pieces on it freely, and appends the shown position to "book.vbk" as one book record.
#pragma once

#include <istream>
#include <ostream>

#include "board/types.h"

namespace quill {

// Runs the tool on "book.vbk" in the working directory, reading commands from `in` and
// printing to `out`. Returns the exit status: 1 when the book cannot be opened or a record
// cannot be written, 0 when the input ends.
int run_book_builder(std::istream& in, std::ostream& out);

// Prints the two views of the board with the command hints beside them, then the label that
// says whether the next record written is a position (parity 0) or its answer (parity 1).
void show_builder_board(std::ostream& out, const BoardText& board, int record_parity);

// Prints the help text.
void show_builder_help(std::ostream& out);

}  // namespace quill
