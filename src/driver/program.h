// A whole program: the banner and the command loop, for one profile.
#pragma once

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>

#include "console/standard_streams.h"
#include "console/arguments.h"
#include "driver/game_loop.h"

namespace quill {

// Prints the banner (seeding the generator first in the builds that draw from it) and runs
// games until "quit" or end of input, searching with `context`. Returns the exit status.
template <const BuildProfile& P>
int run_program(std::istream& in, std::ostream& out, SearchContext<P>& context) {
    out << P.banner;
    if constexpr (P.seeds_generator) std::srand(static_cast<unsigned>(std::time(nullptr)));
    out.flush();

    GameStatus game_status{};
    command_loop<P>(context, game_status, in, out);
    out.flush();
    return 0;
}

// The rest of a playing engine's --help, after its summary.
inline constexpr std::string_view ENGINE_HELP =
    "It reads one line at a time on standard input: a move as its two squares (e2e4), or\n"
    "new, go, white2, black2, ii (show the board) or quit. It answers each move of yours\n"
    "with one line such as \"move e7e5\" and prints nothing else, so that xboard can drive\n"
    "it as a protocol-1 engine.\n"
    "\n"
    "Opening books: wbook.vbk (the engine as White) and bbook.vbk (as Black) are read from\n"
    "the working directory when they are there. The quillmoor command starts an engine in\n"
    "your own book folder, filled with the sample books on first use.\n";

// The rest of movecheck's --help.
inline constexpr std::string_view MOVECHECK_HELP =
    "It reads one move per line on standard input, White's first, as two squares (e2e4),\n"
    "and answers each line \"ok\" (a legal move of the side to move, which it makes) or\n"
    "\"bad\". When the side to move has no legal move left it adds 1-O, O-1 or DRAW.\n"
    "new starts a new game and quit ends; it plays no move and consults no book.\n";

// What the program of profile P tells about itself on its command line.
constexpr ProgramDescription program_description(const BuildProfile& profile) {
    const bool checks = profile.game_loop == GameLoopKind::MoveChecking;
    return {profile.name, profile.summary,
            checks ? "it takes none: movecheck < game.txt"
                   : "it takes none: type moves such as e2e4 on its standard input",
            checks ? MOVECHECK_HELP : ENGINE_HELP};
}

// The program's entry on the console. An xboard interface sends SIGINT to a protocol-1
// engine before its moves; the programs ignore it and end only on "quit" or end of input.
// Output that cannot be written ends the program with status 1 and a line on standard error.
template <const BuildProfile& P>
int program_main(int argc, char** argv) {
    open_standard_descriptors();
    if (auto status = handle_arguments(argc, argv, program_description(P), std::cout, std::cerr))
        return *status;
    std::signal(SIGINT, SIG_IGN);
    CheckedOutputBuffer checked(std::cout.rdbuf(), P.name);
    std::ostream out(&checked);
    // The search's working state lives as long as the program, the value table's proven
    // values included: they never go stale.
    const auto context = std::make_unique<SearchContext<P>>();
    return run_program<P>(std::cin, out, *context);
}

}  // namespace quill
