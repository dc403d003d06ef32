// Static evaluation: material, piece-square values and attacked squares of both sides.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "engine/build_profile.h"
#include "engine/evaluation_tables.h"

namespace quill {

// Scores a record from one side's view: that side's total minus
// the other's, or KING_LOST_SCORE when the viewing side has no king. The record must have
// been brought up to date by generate_moves; it is not changed. Instantiated for
// Evaluation::Standard (attack weight 3) and Evaluation::Noisy (attack weight 4 and two
// draws of std::rand() per call, deducted from White's and then Black's total).
template <Evaluation E>
std::int32_t evaluate_position(const PositionRecord& record, Color view);

// The part of the totals that the pieces' own values and squares make up, White's less
// Black's: the evaluation without attacked squares, check bonus and noise, from White's view.
std::int32_t placement_balance(const PositionRecord& record);

// How placement_balance changes from `before` to `after`, read only from the piece boards
// that differ: each term is a sum over squares, so the squares a board lost are taken off and
// those it gained added. Any move (castling, en passant, promotion) is covered, as long as
// both records' pawns on the last rank were already promoted.
std::int32_t placement_balance_change(const PositionRecord& before, const PositionRecord& after);

// evaluate_position given the record's placement_balance, which the search carries from node
// to node instead of summing every board again.
template <Evaluation E>
std::int32_t evaluate_with_balance(const PositionRecord& record, Color view, std::int32_t balance);

// The viewing side's placement part (see placement_part) from the placement balance.
constexpr std::int32_t placement_for(Color view, std::int32_t balance) { return view == WHITE ? balance : -balance; }

// What one piece adds to its side's total where it stands: its material and its table entry
// (queens and rooks have no table). `bit` is the square's bit index in a board word.
constexpr std::int32_t piece_square_value(Color c, PieceKind kind, int bit) {
    const int i = table_index(bit);
    switch (kind) {
        case KNIGHT: return KNIGHT_VALUE + KNIGHT_TABLE[i];
        case BISHOP: return BISHOP_VALUE + BISHOP_TABLE[i];
        case ROOK: return ROOK_VALUE;
        case QUEEN: return QUEEN_VALUE;
        case KING: return KING_VALUE + (c == WHITE ? WHITE_KING_TABLE : BLACK_KING_TABLE)[i];
        default: return PAWN_VALUE + (c == WHITE ? WHITE_PAWN_TABLE : BLACK_PAWN_TABLE)[i];
    }
}

// The weight of one attacked square in a side's total.
constexpr std::int32_t attack_weight(Evaluation e) {
    return e == Evaluation::Noisy ? NOISY_ATTACK_WEIGHT : STANDARD_ATTACK_WEIGHT;
}

// The part of the noiseless evaluation `score` of `record` from `view` that the pieces' own
// values and squares make up: the score without the attacked squares and the check bonus.
// The viewing side must have its king (the score is not KING_LOST_SCORE).
std::int32_t placement_part(const PositionRecord& record, Color view, std::int32_t score);

extern template std::int32_t evaluate_position<Evaluation::Standard>(const PositionRecord&, Color);
extern template std::int32_t evaluate_position<Evaluation::Noisy>(const PositionRecord&, Color);
extern template std::int32_t evaluate_with_balance<Evaluation::Standard>(const PositionRecord&, Color, std::int32_t);
extern template std::int32_t evaluate_with_balance<Evaluation::Noisy>(const PositionRecord&, Color, std::int32_t);

}  // namespace quill
