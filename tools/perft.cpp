// perft "FEN" DEPTH: counts the leaf positions reached by walking the legal moves with the
// legal iterators, as the engine walks them, and prints the count under each root move.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "board/board_text.h"
#include "support/position_setup.h"
#include "driver/move_text.h"
#include "support/perft.h"

using namespace quill;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: perft \"FEN\" DEPTH\n";
        return 2;
    }
    const auto setup = position_from_fen(argv[1]);
    const int depth = std::atoi(argv[2]);
    if (!setup || depth < 1) {
        std::cerr << "perft: bad FEN or depth\n";
        return 2;
    }
    const Color side = setup->side_to_move;
    const std::uint64_t total =
        perft_walk(setup->record, side, depth, [side](const PositionRecord& before, const PositionRecord& after, std::uint64_t count) {
            BoardText before_text, after_text;
            maps_to_board_text(before, before_text);
            maps_to_board_text(after, after_text);
            MoveText text{'?', '?', '?', '?'};
            derive_move_text(before_text, after_text, pieces(before, side), pieces(after, side), text);
            std::cout << std::string(text.begin(), text.end()) << ": " << count << '\n';
        });
    std::cout << "\nNodes searched: " << total << '\n';
    return 0;
}
