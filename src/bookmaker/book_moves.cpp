#include "bookmaker/book_moves.h"

#include <vector>

#include "board/board_text.h"
#include "driver/move_text.h"

namespace quill {

namespace {

bool is_colour_letter(char c, Color color) {
    const std::size_t i = PieceLetters.find(c);
    return i < 12 && (i >= 6) == (color == WHITE);
}

// The key's position with each en-passant chance it may hold: none, and each file where a
// pawn of the other colour stands beside one of ours on our fifth rank with the two squares
// it came over empty.
std::vector<GamePosition> key_positions(const BoardText& key, Color color) {
    std::vector<GamePosition> positions{position_from_text(key, color)};
    const char own_pawn = color == WHITE ? 'P' : 'p', their_pawn = color == WHITE ? 'p' : 'P';
    // Text rows: rank 8 is row 0. Our fifth rank, and the two ranks behind the enemy pawn.
    const int fifth = color == WHITE ? 3 : 4, step = color == WHITE ? -1 : 1;
    for (int file = 0; file < 8; ++file) {
        if (key[fifth * 8 + file] != their_pawn) continue;
        if (key[(fifth + step) * 8 + file] != EMPTY_SQUARE || key[(fifth + 2 * step) * 8 + file] != EMPTY_SQUARE) continue;
        const bool beside = (file > 0 && key[fifth * 8 + file - 1] == own_pawn) || (file < 7 && key[fifth * 8 + file + 1] == own_pawn);
        if (!beside) continue;
        GamePosition p = positions.front();
        castling(p.record, color)[EN_PASSANT_BYTE] = static_cast<std::uint8_t>(0x80 >> file);
        positions.push_back(p);
    }
    return positions;
}

}  // namespace

const char* color_name(Color c) { return c == WHITE ? "White" : "Black"; }

Color colour_of_answers(const BookRecords& book) {
    int white = 0, black = 0;
    for (int r = 1; r + 1 <= book.aligned; r += 2) {
        const BookRecord& key = book.records[r - 1];
        const BookRecord& answer = book.records[r];
        if (!key.whole || !answer.whole) continue;
        white += places_pieces_of(key.text(), answer.text(), WHITE);
        black += places_pieces_of(key.text(), answer.text(), BLACK);
    }
    return black > white ? BLACK : WHITE;
}

std::optional<AnswerMove> find_answer_move(const BoardText& key, const BoardText& answer, Color color,
                                           const GamePosition* from) {
    std::vector<GamePosition> candidates;
    if (from && from->side == color && text_of(*from) == key) candidates.push_back(*from);
    for (const GamePosition& p : key_positions(key, color)) candidates.push_back(p);
    std::vector<GamePosition> after;
    for (const GamePosition& p : candidates) {
        const std::vector<LegalMove> moves = legal_moves(p, &after);
        for (std::size_t i = 0; i < moves.size(); ++i)
            if (text_of(after[i]) == answer) return AnswerMove{p, moves[i], after[i]};
    }
    return std::nullopt;
}

std::string announced_move(const BoardText& before, const BoardText& after, Color color) {
    PositionRecord b, a;
    board_text_to_maps(b, before);
    board_text_to_maps(a, after);
    ByteBoard before_occupancy, after_occupancy;
    for (int k = 0; k < PIECE_KIND_NB; ++k) {
        before_occupancy |= piece_board(b, color, PieceKind(k));
        after_occupancy |= piece_board(a, color, PieceKind(k));
    }
    MoveText text{};
    if (!derive_move_text(before, after, before_occupancy, after_occupancy, text)) return {};
    return {text.begin(), text.end()};
}

bool moves_pieces_of(const BoardText& before, const BoardText& after, Color color) {
    for (int i = 0; i < BOARD_TEXT_LENGTH; ++i)
        if (before[i] != after[i] && (is_colour_letter(before[i], color) || is_colour_letter(after[i], color))) return true;
    return false;
}

bool places_pieces_of(const BoardText& before, const BoardText& after, Color color) {
    for (int i = 0; i < BOARD_TEXT_LENGTH; ++i)
        if (before[i] != after[i] && is_colour_letter(after[i], color)) return true;
    return false;
}

}  // namespace quill
