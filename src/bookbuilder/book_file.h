// The book file "book.vbk" as the book builder uses it: opened once for reading and appending,
// its records counted at start-up, one record appended per write command.
#pragma once

#include "board/types.h"

namespace quill {

// One record in the book as text: the 64 board characters and a newline. On disk the newline
// is CR LF, so a record takes 66 bytes.
inline constexpr int BUILDER_RECORD_CHARACTERS = BOARD_TEXT_LENGTH + 1;
inline constexpr int BUILDER_RECORD_BYTES = BOARD_TEXT_LENGTH + 2;

// The byte that ends a book read in text mode; nothing after it counts.
inline constexpr char BOOK_END_OF_FILE = 26;

// Opens "book.vbk" in the working directory for reading and appending, creating it with read
// and write permission for the owner when absent. Returns the descriptor, or -1 on failure or
// when the name is not a regular file (a directory, a FIFO, a device), without ever waiting.
int open_book_file();

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
