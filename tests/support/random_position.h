// Random positions for the tests that compare two ways of computing the same boards.
#pragma once

#include <cstdint>
#include <random>

#include "board/types.h"

namespace quill::test {

// Every square empty with probability `empty_share`, else any of the twelve pieces; nothing
// else of the record is set.
inline PositionRecord random_pieces(std::mt19937& rng, double empty_share) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> piece(0, 11);
    PositionRecord r;
    for (int sq = 0; sq < 64; ++sq) {
        if (unit(rng) < empty_share) continue;
        const int p = piece(rng);
        piece_board(r, p < 6 ? WHITE : BLACK, PieceKind(p % 6)).bits |= std::uint64_t{1} << sq;
    }
    return r;
}

}  // namespace quill::test
