#include "engine/evaluate.h"

#include <array>
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

// One side's material and table values: king, queens, rooks, bishops, knights and pawns.
// Each term is a sum over squares, so summing board by board gives the same number as adding
// square by square.
template <Color C>
std::int32_t side_placement(const PositionRecord& r) {
    constexpr const SquareTable& king_table = C == WHITE ? WHITE_KING_TABLE : BLACK_KING_TABLE;
    constexpr const SquareTable& pawn_table = C == WHITE ? WHITE_PAWN_TABLE : BLACK_PAWN_TABLE;
    return table_sum(piece_board(r, C, KING), king_table, KING_VALUE)
         + material(piece_board(r, C, QUEEN), QUEEN_VALUE)
         + material(piece_board(r, C, ROOK), ROOK_VALUE)
         + table_sum(piece_board(r, C, BISHOP), BISHOP_TABLE, BISHOP_VALUE)
         + table_sum(piece_board(r, C, KNIGHT), KNIGHT_TABLE, KNIGHT_VALUE)
         + table_sum(piece_board(r, C, PAWN), pawn_table, PAWN_VALUE);
}

// What one piece adds to its side's total on each square, by colour and kind.
using PlacementTable = std::array<std::array<std::array<std::int32_t, 64>, PIECE_KIND_NB>, 2>;

constexpr PlacementTable placement_table() {
    PlacementTable t{};
    for (const Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            for (int bit = 0; bit < 64; ++bit) t[c][k][bit] = piece_square_value(c, PieceKind(k), bit);
    return t;
}
constexpr PlacementTable PLACEMENT = placement_table();

// What the pieces of one colour and kind on the squares of `squares` add to their side.
inline std::int32_t squares_value(const std::array<std::int32_t, 64>& values, std::uint64_t squares) {
    std::int32_t sum = 0;
    for (; squares != 0; squares &= squares - 1) sum += values[std::countr_zero(squares)];
    return sum;
}

// One colour's part of placement_balance_change, White's counted up and Black's down.
template <Color C>
std::int32_t side_change(const PositionRecord& before, const PositionRecord& after) {
    std::int32_t gained = 0;
    for (int k = 0; k < PIECE_KIND_NB; ++k) {
        const std::uint64_t was = piece_board(before, C, PieceKind(k)).bits;
        const std::uint64_t is = piece_board(after, C, PieceKind(k)).bits;
        // Most boards are untouched by a move.
        if (was == is) continue;
        gained += squares_value(PLACEMENT[C][k], is & ~was) - squares_value(PLACEMENT[C][k], was & ~is);
    }
    return C == WHITE ? gained : -gained;
}

}  // namespace

std::int32_t placement_balance(const PositionRecord& record) {
    return side_placement<WHITE>(record) - side_placement<BLACK>(record);
}

std::int32_t placement_balance_change(const PositionRecord& before, const PositionRecord& after) {
    return side_change<WHITE>(before, after) + side_change<BLACK>(before, after);
}

template <Evaluation E>
std::int32_t evaluate_with_balance(const PositionRecord& record, Color view, std::int32_t balance) {
    static_assert(E == Evaluation::Standard || E == Evaluation::Noisy, "no evaluation in this build");
    constexpr std::int32_t weight = attack_weight(E);

    // The placement balance stands in White's total for White's placement less Black's; only
    // the difference of the totals is returned, so the score is the same.
    std::int32_t white_total = weight * count_squares(record.white_attacks.bits) + balance;
    std::int32_t black_total = weight * count_squares(record.black_attacks.bits);

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

template <Evaluation E>
std::int32_t evaluate_position(const PositionRecord& record, Color view) {
    return evaluate_with_balance<E>(record, view, placement_balance(record));
}

std::int32_t placement_part(const PositionRecord& record, Color view, std::int32_t score) {
    const std::int32_t check = attacks(record, view).intersects(piece_board(record, ~view, KING)) ? CHECK_BONUS : 0;
    const std::int32_t squares = count_squares(attacks(record, view).bits) - count_squares(attacks(record, ~view).bits);
    return score - check - attack_weight(Evaluation::Standard) * squares;
}

template std::int32_t evaluate_position<Evaluation::Standard>(const PositionRecord&, Color);
template std::int32_t evaluate_position<Evaluation::Noisy>(const PositionRecord&, Color);
template std::int32_t evaluate_with_balance<Evaluation::Standard>(const PositionRecord&, Color, std::int32_t);
template std::int32_t evaluate_with_balance<Evaluation::Noisy>(const PositionRecord&, Color, std::int32_t);

}  // namespace quill
