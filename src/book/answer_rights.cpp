#include "book/answer_rights.h"

#include <bit>

namespace quill {
namespace {

// The squares whose content differs between two positions, over the twelve piece boards.
ByteBoard changed_squares(const PositionRecord& a, const PositionRecord& b) {
    ByteBoard changed;
    for (const Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            changed.bits |= piece_board(a, c, PieceKind(k)).bits ^ piece_board(b, c, PieceKind(k)).bits;
    return changed;
}

ByteBoard occupancy(const PositionRecord& r) {
    ByteBoard all;
    for (const Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) all |= piece_board(r, c, PieceKind(k));
    return all;
}

// The file mask of the pawn double step of side `c` that makes up the whole change, or 0:
// exactly two squares changed, a pawn of `c` left its start square and one reached the
// square two ranks ahead on that file, which was empty, over a square that is empty.
std::uint8_t double_step_file(const PositionRecord& before, const PositionRecord& after, ByteBoard changed,
                              Color c) {
    const int start = relative_rank(c, 1), passed = relative_rank(c, 2), landing = relative_rank(c, 3);
    const std::uint8_t file = changed.byte(start);
    if (count_squares(changed.bits) != 2 || std::popcount(file) != 1 || changed.byte(landing) != file) return 0;

    const ByteBoard from = square_board(start, file), to = square_board(landing, file);
    const bool pawn_left = piece_board(before, c, PAWN).intersects(from) && !occupancy(after).intersects(from);
    const bool pawn_arrived = piece_board(after, c, PAWN).intersects(to) && !occupancy(before).intersects(to);
    const bool path_clear = !occupancy(before).intersects(square_board(passed, file));
    return pawn_left && pawn_arrived && path_clear ? file : 0;
}

}  // namespace

void adopt_answer_rights(const PositionRecord& before, PositionRecord& answer, Color engine) {
    const ByteBoard changed = changed_squares(before, answer);
    for (const Color c : {WHITE, BLACK}) {
        // Rights are kept by square: whatever changed the king's or a rook's home square
        // moved or took the piece that stood there.
        const std::uint8_t home = changed.byte(relative_rank(c, 0));
        std::uint8_t& flags = castling(answer, c)[CASTLE_FLAGS_BYTE];
        if (home & FILE_E) flags = 0;
        if (home & FILE_H) flags &= static_cast<std::uint8_t>(~CASTLE_SHORT_ROOK);
        if (home & FILE_A) flags &= static_cast<std::uint8_t>(~CASTLE_LONG_ROOK);
    }
    castling(answer, engine)[EN_PASSANT_BYTE] = 0;
    if (const std::uint8_t file = double_step_file(before, answer, changed, engine))
        castling(answer, ~engine)[EN_PASSANT_BYTE] = file;
}

}  // namespace quill
