// The book format, shared by the engine's reader and bookbuilder's writer: whole-board
// positions of 64 characters, one record a line, keys and answers in turn.
#pragma once

#include "board/types.h"

namespace quill {

// The 64 position characters of a record: a BoardText.
inline constexpr int BOOK_POSITION_LENGTH = BOARD_TEXT_LENGTH;
// A record as a reader in text mode sees it: the position and the newline. The reader takes
// the file in units of exactly this many characters, never looking for line ends.
inline constexpr int BOOK_RECORD_LENGTH = BOOK_POSITION_LENGTH + 1;
// A record on disk as bookbuilder writes it: the position, then CR LF.
inline constexpr int BOOK_RECORD_BYTES = BOOK_POSITION_LENGTH + 2;
// Text mode: byte 26 (Ctrl-Z) ends a book, and CR characters are dropped.
inline constexpr char BOOK_END_BYTE = 26;
inline constexpr char BOOK_DROPPED_BYTE = '\r';

}  // namespace quill
