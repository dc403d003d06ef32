// Writing a book: "book.vbk" opened once for reading and appending, its records counted at
// start-up, one record appended per write command.
#pragma once

#include "board/types.h"
#include "book/book_format.h"

namespace quill {

// Opens "book.vbk" in the working directory for reading and appending, creating it with read
// and write permission for the owner when absent. Returns the descriptor, or -1 on failure or
// when the name is not a regular file (a directory, a FIFO, a device), without ever waiting.
int open_book_for_append();

// Reads the book from its start as text (CR bytes dropped, byte 26 ends it) and returns the
// parity of its number of 65-character units: 0 when the next record written is a key, 1 when
// it is an answer. A short last unit counts as a unit. Files that are not regular files
// (devices, pipes) are not read at all and give 0, since reading one may never end.
int read_record_parity(int fd);

// Appends one record, the board and CR LF, with unbuffered writes so that it is in the file
// as soon as this returns. Returns true when all 66 bytes were written; otherwise the file is
// cut back to its length before the record, so that no record is ever left in part.
bool append_book_record(int fd, const BoardText& board);

}  // namespace quill
