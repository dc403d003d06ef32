// `bookmaker show`: a book as the moves it makes, one entry a line.
#pragma once

#include <ostream>
#include <string>

namespace quill {

// Prints each entry of the book at `path` as its record number, the move number and colour
// of the move, the move in coordinates as the engine announces it (castling as the king's
// move) and in SAN. Move numbers are found by following the book's own lines from the start
// position (and every move of the first plies); "?" where no line reaches a key. Returns 0,
// or 2 after a message on `err` when the file cannot be read.
int show_book(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quill
