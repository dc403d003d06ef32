#include "notation/legal_moves.h"

#include <bit>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "engine/iterators.h"

namespace quill {

namespace {

// The square number of the lowest set bit of a board word (byte r is rank r + 1, and within
// a byte the highest bit is file a).
int square_of_bit(std::uint64_t bits) {
    const int bit = std::countr_zero(bits);
    return (bit / 8) * 8 + (7 - bit % 8);
}

constexpr int FILE_C_INDEX = 2, FILE_E_INDEX = 4, FILE_G_INDEX = 6;

// Reads the move that took `before` to `after` from the mover's and the other side's boards.
LegalMove describe(const PositionRecord& before, const PositionRecord& after, Color side, std::int32_t ordinal) {
    LegalMove m;
    m.ordinal = ordinal;
    std::uint64_t gained = 0;
    bool kind_found = false;
    for (int k = 0; k < PIECE_KIND_NB; ++k) {
        const std::uint64_t was = piece_board(before, side, PieceKind(k)).bits;
        const std::uint64_t is = piece_board(after, side, PieceKind(k)).bits;
        gained |= is & ~was;
        // Castling empties the rook's square too; the king names the move.
        if ((was & ~is) && (!kind_found || k == KING)) {
            m.kind = PieceKind(k);
            m.from = square_of_bit(was & ~is);
            kind_found = true;
        }
    }
    if (m.kind == KING) {
        gained = piece_board(after, side, KING).bits & ~piece_board(before, side, KING).bits;
    }
    m.to = gained ? square_of_bit(gained) : m.from;
    m.promotion = m.kind == PAWN && (piece_board(after, side, QUEEN).bits & ~piece_board(before, side, QUEEN).bits);
    if (m.kind == KING && square_file(m.from) == FILE_E_INDEX) {
        if (square_file(m.to) == FILE_G_INDEX) m.castling = Castling::Short;
        if (square_file(m.to) == FILE_C_INDEX) m.castling = Castling::Long;
    }
    const Color other = ~side;
    m.capture = (pieces(before, other).bits & ~pieces(after, other).bits) != 0;
    // A pawn that captures onto an empty square has taken en passant.
    const ByteBoard target = square_board(square_rank(m.to), static_cast<std::uint8_t>(0x80 >> square_file(m.to)));
    m.en_passant = m.kind == PAWN && m.capture && !pieces(before, other).intersects(target);
    return m;
}

// The record as the next side finds it: the mover's en-passant chance is gone, no ordinal
// is recorded yet, and the maps are up to date.
void settle(PositionRecord& record, Color mover) {
    castling(record, mover)[EN_PASSANT_BYTE] = 0;
    record.white_move_ordinal = record.black_move_ordinal = 0;
    record.move_made_flag = 0;
    generate_moves(record);
}

}  // namespace

std::string square_name(int square) {
    return {static_cast<char>('a' + square_file(square)), static_cast<char>('1' + square_rank(square))};
}

GamePosition start_position() {
    GamePosition p;
    p.record.white_castling = WHITE_CASTLING_START;
    p.record.black_castling = BLACK_CASTLING_START;
    board_text_to_maps(p.record, make_board_text(START_TEXT));
    generate_moves(p.record);
    return p;
}

GamePosition position_from_text(const BoardText& text, Color side) {
    GamePosition p;
    p.side = side;
    board_text_to_maps(p.record, text);
    for (const Color c : {WHITE, BLACK}) {
        const int back = relative_rank(c, 0);
        std::uint8_t flags = 0;
        if (piece_board(p.record, c, KING).byte(back) & FILE_E) flags |= CASTLE_KING_RIGHT;
        if (piece_board(p.record, c, ROOK).byte(back) & FILE_H) flags |= CASTLE_SHORT_ROOK;
        if (piece_board(p.record, c, ROOK).byte(back) & FILE_A) flags |= CASTLE_LONG_ROOK;
        castling(p.record, c)[CASTLE_FLAGS_BYTE] = flags;
    }
    generate_moves(p.record);
    return p;
}

std::vector<LegalMove> legal_moves(const GamePosition& position, std::vector<GamePosition>* after) {
    std::vector<LegalMove> moves;
    if (after) after->clear();
    PositionRecord base = position.record;
    base.white_move_ordinal = base.black_move_ordinal = 0;
    generate_moves(base);
    std::int32_t ordinal = 0;
    for (;;) {
        // Each move is made on a fresh copy that starts after the last ordinal found.
        PositionRecord trial = base;
        move_ordinal(trial, position.side) = ordinal;
        if (make_next_legal_move(trial, position.side)) return moves;
        ordinal = move_ordinal(trial, position.side);
        moves.push_back(describe(base, trial, position.side, ordinal));
        if (after) {
            settle(trial, position.side);
            after->push_back({trial, ~position.side});
        }
    }
}

GamePosition play_move(const GamePosition& position, const LegalMove& move) {
    PositionRecord record = position.record;
    record.white_move_ordinal = record.black_move_ordinal = 0;
    generate_moves(record);
    make_side_move(record, position.side, move.ordinal);
    settle(record, position.side);
    return {record, ~position.side};
}

bool has_legal_move(const GamePosition& position) {
    PositionRecord trial = position.record;
    trial.white_move_ordinal = trial.black_move_ordinal = 0;
    generate_moves(trial);
    return make_next_legal_move(trial, position.side) == 0;
}

bool in_check(const GamePosition& position) {
    return piece_board(position.record, position.side, KING).intersects(attacks(position.record, ~position.side));
}

BoardText text_of(const GamePosition& position) {
    BoardText text;
    maps_to_board_text(position.record, text);
    return text;
}

std::string coordinate_text(const LegalMove& move) { return square_name(move.from) + square_name(move.to); }

}  // namespace quill
