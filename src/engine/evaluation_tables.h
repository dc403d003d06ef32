// The evaluation's named values: piece material, attack and check weights, and the
// piece-square tables.
#pragma once

#include <array>
#include <cstdint>

namespace quill {

// Material per piece.
inline constexpr std::int32_t PAWN_VALUE = 100;
inline constexpr std::int32_t KNIGHT_VALUE = 306;
inline constexpr std::int32_t BISHOP_VALUE = 325;
inline constexpr std::int32_t ROOK_VALUE = 515;
inline constexpr std::int32_t QUEEN_VALUE = 1200;
inline constexpr std::int32_t KING_VALUE = 10000;

// Per square of a side's attack map: the plain evaluation, and the one with random deduction.
inline constexpr std::int32_t STANDARD_ATTACK_WEIGHT = 3;
inline constexpr std::int32_t NOISY_ATTACK_WEIGHT = 4;

// Added to the viewing side when its attack map covers the enemy king.
inline constexpr std::int32_t CHECK_BONUS = 40;

// The noisy evaluation deducts rand() % NOISE_RANGE (0 to 34) from each side's total.
inline constexpr int NOISE_RANGE = 35;

// A piece-square table reads as the board seen from White: entry 0 is a8, 7 is h8, 56 is a1,
// 63 is h1. For bit p of a ByteBoard word (8 * byte + bit, bit 0 = file h) the entry is 63 - p.
using SquareTable = std::array<std::int32_t, 64>;

constexpr int table_index(int board_bit) { return 63 - board_bit; }

// clang-format off
inline constexpr SquareTable WHITE_KING_TABLE = {
    -54, -54, -90, -90, -90, -90, -54, -54,   // rank 8
    -36, -36, -54, -54, -54, -54, -36, -36,   // rank 7
    -20, -20, -36, -36, -36, -36, -20, -20,   // rank 6
    -13, -13, -20, -20, -20, -20, -13, -13,   // rank 5
     -8,  -8, -13, -13, -13, -13,  -8,  -8,   // rank 4
     -5,  -5,  -8,  -8,  -8,  -8,  -5,  -5,   // rank 3
     -3,  -3,  -5,  -5,  -5,  -5,  -3,  -3,   // rank 2
      2,  11,   8,   0,   0,   5,  11,   2,   // rank 1
};

// Not White's table mirrored: ranks 4 and 3 run deeper (-21, and -21 on b3).
inline constexpr SquareTable BLACK_KING_TABLE = {
      2,  11,   8,   0,   0,   5,  11,   2,   // rank 8
     -3,  -3,  -5,  -5,  -5,  -5,  -3,  -3,   // rank 7
     -5,  -5,  -8,  -8,  -8,  -8,  -5,  -5,   // rank 6
     -8,  -8, -13, -13, -13, -13,  -8,  -8,   // rank 5
    -13, -13, -21, -21, -21, -21, -13, -13,   // rank 4
    -20, -21, -36, -36, -36, -36, -20, -20,   // rank 3
    -36, -36, -54, -54, -54, -54, -36, -36,   // rank 2
    -54, -54, -90, -90, -90, -90, -54, -54,   // rank 1
};

// Bishops of both colours.
inline constexpr SquareTable BISHOP_TABLE = {
     -6,  -6,  -6,  -6,  -6,  -6,  -6,  -6,   // rank 8
     -6,  12,   5,  12,  12,   5,  12,  -6,   // rank 7
     -6,   6,   4,  14,  14,   4,   6,  -6,   // rank 6
     -6,   4,  14,   4,   4,  14,   4,  -6,   // rank 5
     -6,   4,  14,   4,   4,  14,   4,  -6,   // rank 4
     -6,   4,   4,  14,  14,   4,   6,  -6,   // rank 3
     -6,  12,   5,  12,  12,   5,  12,  -6,   // rank 2
     -6,  -6,  -6,  -6,  -6,  -6,  -6,  -6,   // rank 1
};

// Knights of both colours.
inline constexpr SquareTable KNIGHT_TABLE = {
    -12, -15,  -5,  -5,  -5,  -5, -15, -12,   // rank 8
     -5,   0,   0,   0,   0,   0,   0,  -5,   // rank 7
      0,   2,   6,   6,   6,   6,   2,   0,   // rank 6
     -5,   1,   3,   8,   8,   3,   1,  -5,   // rank 5
     -5,   1,   3,   8,   8,   3,   1,  -5,   // rank 4
      0,   2,   6,   6,   6,   6,   2,   0,   // rank 3
     -5,   0,   0,   0,   0,   0,   0,  -5,   // rank 2
    -12, -15,  -5,  -5,  -5,  -5, -15, -12,   // rank 1
};

inline constexpr SquareTable WHITE_PAWN_TABLE = {
      0,   0,   0,   0,   0,   0,   0,   0,   // rank 8
      6,  10,  16,  21,  21,  16,  10,   6,   // rank 7
      4,   8,  12,  16,  16,  12,   8,   4,   // rank 6
      3,   6,   9,  12,  12,   9,   6,   3,   // rank 5
      2,   4,   6,   9,   9,   6,   4,   2,   // rank 4
      1,   2,   3,   4,   4,   3,   2,   1,   // rank 3
      0,   0,   0,  -6,  -6,   0,   0,   0,   // rank 2
      0,   0,   0,   0,   0,   0,   0,   0,   // rank 1
};

// Not White's table mirrored: the rank-2 row has 11 on files b and g.
inline constexpr SquareTable BLACK_PAWN_TABLE = {
      0,   0,   0,   0,   0,   0,   0,   0,   // rank 8
      0,   0,   0,  -6,  -6,   0,   0,   0,   // rank 7
      1,   2,   3,   4,   4,   3,   2,   1,   // rank 6
      2,   4,   6,   9,   9,   6,   4,   2,   // rank 5
      3,   6,   9,  12,  12,   9,   6,   3,   // rank 4
      4,   8,  12,  16,  16,  12,   8,   4,   // rank 3
      6,  11,  16,  21,  21,  16,  11,   6,   // rank 2
      0,   0,   0,   0,   0,   0,   0,   0,   // rank 1
};
// clang-format on

}  // namespace quill
