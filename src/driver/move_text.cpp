#include "driver/move_text.h"

namespace quill {

namespace {

constexpr int NO_SQUARE = -1;

void square_chars(int square, char& file, char& rank) {
    file = static_cast<char>('a' + square % 8);
    rank = static_cast<char>('1' + square / 8);
}

}  // namespace

bool derive_move_text(const BoardText& before_text, const BoardText& after_text,
                      ByteBoard before_occupancy, ByteBoard after_occupancy, MoveText& text) {
    // None of the side's pieces moved (no legal move, or a book answer that moved only the
    // other side's pieces): nothing to announce, even if the other king now stands on g1 or c1.
    if (before_occupancy == after_occupancy) return false;
    int from = NO_SQUARE, to = NO_SQUARE;
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file) {
            const std::uint8_t mask = file_mask(file);
            const bool was = before_occupancy.byte(rank) & mask, is = after_occupancy.byte(rank) & mask;
            if (was && !is) from = rank * 8 + file;
            if (!was && is) to = rank * 8 + file;
        }
    if (from != NO_SQUARE && to != NO_SQUARE) {
        square_chars(from, text[0], text[1]);
        square_chars(to, text[2], text[3]);
    }

    // Castling moves two pieces; it is named by the king's squares. Text indexes: e8 = 4,
    // g8 = 6, c8 = 2, e1 = 60, g1 = 62, c1 = 58.
    struct Castle { char king; int from, to; MoveText text; };
    static constexpr Castle CASTLES[] = {{'k', 4, 6, {'e', '8', 'g', '8'}},
                                         {'K', 60, 62, {'e', '1', 'g', '1'}},
                                         {'k', 4, 2, {'e', '8', 'c', '8'}},
                                         {'K', 60, 58, {'e', '1', 'c', '1'}}};
    bool castled = false;
    for (const Castle& c : CASTLES)
        if (before_text[c.from] == c.king && after_text[c.to] == c.king) {
            text = c.text;
            castled = true;
        }
    return castled || (from != NO_SQUARE && to != NO_SQUARE);
}

}  // namespace quill
