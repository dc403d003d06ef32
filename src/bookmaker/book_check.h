// `bookmaker check`: a book read as the engine reads it, and everything in it that the
// engine would misread, never use, or play as something else than one legal move.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "board/types.h"

namespace quill {

// Exit statuses of check.
inline constexpr int CHECK_CLEAN = 0;
inline constexpr int CHECK_PROBLEMS = 1;
inline constexpr int CHECK_UNREADABLE = 2;

// Reports on `out` each problem of the book at `path` with its record number, then a summary
// line with the number of entries and distinct keys. Without `colour` the book's colour is
// the one whose pieces most answers move. Returns CHECK_CLEAN, CHECK_PROBLEMS, or
// CHECK_UNREADABLE (after a message on `err`) when the file cannot be read.
int check_book(const std::string& path, std::optional<Color> color, std::ostream& out, std::ostream& err);

// Two boards side by side, rank 8 at the top, '.' for an empty square, under their titles.
std::string side_by_side(const BoardText& left, const std::string& left_title, const BoardText& right,
                         const std::string& right_title);

}  // namespace quill
