// A whole program: the banner and the command loop, for one profile.
#pragma once

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>

#include "console/standard_streams.h"
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

// The program's entry on the console. An xboard interface sends SIGINT to a protocol-1
// engine before its moves; the programs ignore it and end only on "quit" or end of input.
// Output that cannot be written ends the program with status 1 and a line on standard error.
template <const BuildProfile& P>
int program_main() {
    open_standard_descriptors();
    std::signal(SIGINT, SIG_IGN);
    CheckedOutputBuffer checked(std::cout.rdbuf(), P.name);
    std::ostream out(&checked);
    // The search's working state lives as long as the program, the value table's proven
    // values included: they never go stale.
    const auto context = std::make_unique<SearchContext<P>>();
    return run_program<P>(std::cin, out, *context);
}

}  // namespace quill
