// Answering a position from an opening book.
#pragma once

#include "board/types.h"
#include "book/book_reader.h"

namespace quill {

// Scans `book` from its first byte for a key equal to the text of the twelve piece boards of
// `boards`. On the first hit the piece boards are replaced by the key's answer position and
// `found` is left as the caller set it; on a miss, or with an absent book, `found` becomes 0
// and the boards stay. Nothing but the twelve piece boards is touched.
void book_lookup(PositionRecord& boards, int& found, BookReader& book);

}  // namespace quill
