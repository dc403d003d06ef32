#include "engine/evaluate.h"

#include <bit>
#include <cstdlib>

#include "engine/constants.h"
#include "engine/evaluation_tables.h"

namespace quill {

namespace {

// Material times the number of pieces on a board.
constexpr std::int32_t material(ByteBoard board, std::int32_t value) {
    return value * count_squares(board.bits);
}

// Material plus a piece-square table over the squares of a board. Bit p of the board word
// is byte p / 8 and file bit p % 8, so its table entry is 63 - p.
constexpr std::int32_t table_sum(ByteBoard board, const SquareTable& table, std::int32_t value) {
    std::int32_t sum = 0;
    for (std::uint64_t bits = board.bits; bits != 0; bits &= bits - 1)
        sum += value + table[table_index(std::countr_zero(bits))];
    return sum;
}

// One side's total before noise and check bonus: its attacked squares, king, queens, rooks,
// bishops, knights and pawns. Each term is a sum over squares, so summing board by board
// gives the same number as adding square by square.
template <Color C>
std::int32_t side_total(const PositionRecord& r, std::int32_t weight) {
    constexpr const SquareTable& king_table = C == WHITE ? WHITE_KING_TABLE : BLACK_KING_TABLE;
    constexpr const SquareTable& pawn_table = C == WHITE ? WHITE_PAWN_TABLE : BLACK_PAWN_TABLE;
    const ByteBoard king = piece_board(r, C, KING);
    const ByteBoard bishops = piece_board(r, C, BISHOP);
    const ByteBoard knights = piece_board(r, C, KNIGHT);
    const ByteBoard pawns = piece_board(r, C, PAWN);
    return weight * count_squares(attacks(r, C).bits)
         + table_sum(king, king_table, KING_VALUE)
         + material(piece_board(r, C, QUEEN), QUEEN_VALUE)
         + material(piece_board(r, C, ROOK), ROOK_VALUE)
         + table_sum(bishops, BISHOP_TABLE, BISHOP_VALUE)
         + table_sum(knights, KNIGHT_TABLE, KNIGHT_VALUE)
         + table_sum(pawns, pawn_table, PAWN_VALUE);
}

}  // namespace

template <Evaluation E>
std::int32_t evaluate_position(const PositionRecord& record, Color view) {
    static_assert(E == Evaluation::Standard || E == Evaluation::Noisy, "no evaluation in this build");
    constexpr std::int32_t weight = attack_weight(E);

    std::int32_t white_total = side_total<WHITE>(record, weight);
    std::int32_t black_total = side_total<BLACK>(record, weight);

    if constexpr (E == Evaluation::Noisy) {
        // Two draws on every call, White's first: separate statements fix the order.
        white_total -= std::rand() % NOISE_RANGE;
        black_total -= std::rand() % NOISE_RANGE;
    }

    // Only the viewing side earns the bonus for giving check.
    if (view == BLACK) {
        if (record.black_attacks.intersects(record.white_king)) black_total += CHECK_BONUS;
        return record.black_king.empty() ? KING_LOST_SCORE : black_total - white_total;
    }
    if (record.white_attacks.intersects(record.black_king)) white_total += CHECK_BONUS;
    return record.white_king.empty() ? KING_LOST_SCORE : white_total - black_total;
}

std::int32_t placement_part(const PositionRecord& record, Color view, std::int32_t score) {
    const std::int32_t check = attacks(record, view).intersects(piece_board(record, ~view, KING)) ? CHECK_BONUS : 0;
    const std::int32_t squares = count_squares(attacks(record, view).bits) - count_squares(attacks(record, ~view).bits);
    return score - check - attack_weight(Evaluation::Standard) * squares;
}

template std::int32_t evaluate_position<Evaluation::Standard>(const PositionRecord&, Color);
template std::int32_t evaluate_position<Evaluation::Noisy>(const PositionRecord&, Color);

}  // namespace quill
