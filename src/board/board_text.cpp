#include "board/board_text.h"

namespace quill {

namespace {

// The piece board named by entry i (0..11) of PieceLetters.
constexpr Color LETTER_COLOR[PIECE_BOARD_COUNT] = {BLACK, BLACK, BLACK, BLACK, BLACK, BLACK,
                                    WHITE, WHITE, WHITE, WHITE, WHITE, WHITE};
constexpr PieceKind LETTER_KIND[PIECE_BOARD_COUNT] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, PAWN,
                                       ROOK, KNIGHT, BISHOP, QUEEN, KING, PAWN};

}  // namespace

int board_text_to_maps(PositionRecord& boards, const BoardText& text) {
    for (int j = 0; j < BOARD_TEXT_LENGTH; ++j) {
        const ByteBoard square = square_board(7 - j / 8, file_mask(j % 8));
        for (int i = 0; i < PIECE_BOARD_COUNT; ++i)
            if (text[j] == PieceLetters[i]) piece_board(boards, LETTER_COLOR[i], LETTER_KIND[i]) |= square;
    }
    return 0;
}

void maps_to_board_text(const PositionRecord& boards, BoardText& text) {
    for (int k = 0; k < BOARD_TEXT_LENGTH; ++k) {
        const ByteBoard square = square_board(7 - k / 8, file_mask(k % 8));
        text[k] = EMPTY_SQUARE;
        for (int i = 0; i < PIECE_BOARD_COUNT; ++i)
            if (piece_board(boards, LETTER_COLOR[i], LETTER_KIND[i]).intersects(square)) text[k] = PieceLetters[i];
    }
}

void clear_square(PositionRecord& boards, int rank_index, std::uint8_t& mask) {
    mask = static_cast<std::uint8_t>(~mask);
    const ByteBoard keep = ~square_board(rank_index, static_cast<std::uint8_t>(~mask));
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) piece_board(boards, c, PieceKind(k)) &= keep;
}

void clear_piece_boards(PositionRecord& boards) {
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) piece_board(boards, c, PieceKind(k)) = {};
}

}  // namespace quill
