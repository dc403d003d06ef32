// perft "FEN" DEPTH: counts the leaf positions reached by walking the legal moves with the
// legal iterators, as the engine walks them, and prints the count under each root move.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "board/position_setup.h"
#include "driver/move_text.h"
#include "engine/iterators.h"

using namespace quill;

namespace {

// Counts the leaves `depth` plies below `position`, `side` to move. Each move is made on a
// copy whose core is restored (and regenerated) before the next, keeping the move ordinal;
// the mover's own en-passant mask is cleared after each move, as the search does.
template <typename Visit>
std::uint64_t walk(const PositionRecord& position, Color side, int depth, Visit&& visit);

struct Ignore {
    void operator()(const PositionRecord&, const PositionRecord&, std::uint64_t) const {}
};

template <typename Visit>
std::uint64_t walk(const PositionRecord& position, Color side, int depth, Visit&& visit) {
    if (depth == 0) return 1;
    PositionRecord node = position;
    node.white_move_ordinal = node.black_move_ordinal = 0;
    generate_moves(node);
    std::uint64_t total = 0;
    while (make_next_legal_move(node, side) == 0) {
        castling(node, side)[EN_PASSANT_BYTE] = 0;
        const std::uint64_t count = walk(node, ~side, depth - 1, Ignore{});
        visit(position, node, count);
        total += count;
        copy_position_core(position, node);
        generate_moves(node);
    }
    return total;
}

}  // namespace

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
        walk(setup->record, side, depth, [side](const PositionRecord& before, const PositionRecord& after, std::uint64_t count) {
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
