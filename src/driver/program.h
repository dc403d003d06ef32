// A whole program: the banner, the start position and the command loop, for one profile.
#pragma once

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "console/standard_streams.h"
#include "driver/game_loop.h"

namespace quill {

// Prints the banner (seeding the generator first in the builds that draw from it), builds
// the start position and runs games until "quit" or end of input. Returns the exit status.
template <const BuildProfile& P>
int run_program(std::istream& in, std::ostream& out) {
    out << P.banner;
    if constexpr (P.seeds_generator) std::srand(static_cast<unsigned>(std::time(nullptr)));
    out.flush();

    GameMaps maps{};
    maps.white_castling = WHITE_CASTLING_START;
    maps.black_castling = BLACK_CASTLING_START;
    BoardText board_text = make_board_text(START_TEXT);
    board_text_to_maps(maps, board_text);
    build_attack_maps(maps);
    GameStatus game_status{};
    command_loop<P>(maps, game_status, board_text, in, out);
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
    return run_program<P>(std::cin, out);
}

}  // namespace quill
