// The console game: a playing build and movecheck run as child programs in the book folder,
// and the player between them. Moves are read in SAN or coordinates, judged by movecheck
// before the engine sees them, and the engine's replies are judged the same way, so that the
// game's end is announced whoever ends it.
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace quill {

// Default limit on the wait for a line from a child program.
inline constexpr double DEFAULT_REPLY_SECONDS = 60.0;

struct ConsoleGameOptions {
    std::string program_folder;  // where the builds and movecheck stand
    std::string build;           // the playing build's name
    std::string folder;          // the working folder of the children (the book folder)
    double reply_seconds = DEFAULT_REPLY_SECONDS;
    bool show_times = true;      // the time each engine reply took
    bool prompt = false;         // a prompt before each line (when the input is a terminal)
};

// Plays games on `in` and `out` until quit or end of input. Returns the exit status.
int run_console_game(const ConsoleGameOptions& options, std::istream& in, std::ostream& out);

}  // namespace quill
