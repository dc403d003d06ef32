// bookmaker: opening books for the engine from PGN, checked and shown as the engine reads them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quill {

// Exit status for a command line that names no known command or gives a bad option.
inline constexpr int BOOKMAKER_USAGE = 2;

// Runs one command, `args` being the words after the program name:
//   from-pgn --color white|black [--plies N] [--min-games K] [--variations] [-o FILE] FILE.pgn...
//   check FILE.vbk [--color white|black]
//   show FILE.vbk
// The book of from-pgn goes to `out` unless -o names a file; reports of check and show go
// to `out`; warnings and errors to `err`. Returns the exit status.
int run_bookmaker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quill
