#include "board/attack_maps.h"

#include <bit>

#include "board/pawn_pushes.h"
#include "board/shifts.h"
#include "board/step_tables.h"

namespace quill {

namespace {

enum class Pass { Attack, Target };

// Two board words, White's and Black's: the slider fills of both colours run as one, each
// operation acting on both words (a compiler vector; shifts and masks apply per word).
using BoardPair = std::uint64_t __attribute__((vector_size(16)));

// One colour of one per-kind pass: numbers the pieces into slots (rank 1 to 8, file h to
// a, which is the order of rising bit indexes), marks their targets and ORs the colour's
// accumulator into its attack map. The attack pass keeps own squares out of every mark
// except a knight's (removed per knight); the generation pass keeps the own blockers.
// With DropOwn the targets boards lose the own squares at once, as generate_moves wants.
template <Pass P, Color C, PieceKind K, bool DropOwn = false>
void color_pass(PositionRecord& r) {
    SlotView s = slots(r, C, K);
    const std::uint64_t own = pieces(r, C).bits;
    const std::uint64_t occupied = own | pieces(r, ~C).bits;
    std::uint64_t accumulator = 0;
    int b = 0;
    for (std::uint64_t board = piece_board(r, C, K).bits; board; board &= board - 1) {
        const int sq = std::countr_zero(board);
        // A byte assignment: a piece sharing the last slot replaces only its own rank's bits.
        if (s[b].empty())
            s[b].bits = std::uint64_t{1} << sq;
        else
            s[b].set_byte(sq / 8, static_cast<std::uint8_t>(1u << (sq % 8)));
        ++b;
        std::uint64_t marks = marked_squares(K, C, sq, occupied);
        if (P == Pass::Attack && K != KNIGHT) marks &= ~own;
        s[b].bits |= marks;
        if ((P == Pass::Attack && K == KNIGHT) || DropOwn) s[b].bits &= ~own;
        accumulator |= marks;
        // A piece beyond the last tracked one shares the last slot.
        b = b + 1 == s.size ? b - 1 : b + 1;
    }
    if (K == KNIGHT) accumulator &= ~own;
    attacks(r, C).bits |= accumulator;
    // Pawn targets are reduced to enemy squares before the pushes (which are never own).
    if constexpr (K == PAWN) pawn_pushes<C>(r);
}

template <Pass P, PieceKind K, bool DropOwn = false>
void kind_pass(PositionRecord& r) {
    color_pass<P, WHITE, K, DropOwn>(r);
    color_pass<P, BLACK, K, DropOwn>(r);
}

// Promotion, then occupancy.
inline void promote_and_occupy(PositionRecord& r) {
    constexpr std::uint64_t RANK_8 = 0xFF00000000000000ULL, RANK_1 = 0xFFULL;
    r.white_queens.bits |= r.white_pawns.bits & RANK_8;
    r.white_pawns.bits &= ~RANK_8;
    r.black_queens.bits |= r.black_pawns.bits & RANK_1;
    r.black_pawns.bits &= ~RANK_1;
    r.white_pieces = r.white_knights | r.white_bishops | r.white_rooks | r.white_queens | r.white_king | r.white_pawns;
    r.black_pieces = r.black_knights | r.black_bishops | r.black_rooks | r.black_queens | r.black_king | r.black_pawns;
}

// The squares a set of pawns attacks, shifted as a whole: north-east and north-west for
// White, south-east and south-west for Black, no pawn on an edge file wrapping around.
template <Color C>
constexpr std::uint64_t pawn_attacks_of(std::uint64_t pawns) {
    if constexpr (C == WHITE) return ((pawns & ~FILE_H_SQUARES) << 7) | ((pawns & ~FILE_A_SQUARES) << 9);
    return ((pawns & ~FILE_H_SQUARES) >> 9) | ((pawns & ~FILE_A_SQUARES) >> 7);
}

// The whole-set shift marks exactly the squares of the per-square pawn steps.
constexpr bool pawn_shifts_match_steps() {
    for (int sq = 0; sq < 64; ++sq)
        if (pawn_attacks_of<WHITE>(std::uint64_t{1} << sq) != TABLES.pawn[WHITE][sq] ||
            pawn_attacks_of<BLACK>(std::uint64_t{1} << sq) != TABLES.pawn[BLACK][sq])
            return false;
    return true;
}
static_assert(pawn_shifts_match_steps());

// Rays of a whole set of sliders at once, for the attack maps, which need only the union of
// the marks. A step in one direction is a shift of the word by `Shift` bits (north 8, west 1,
// north-west 9, ...), and `Arrive` is the set of squares such a step can land on without
// wrapping round an edge file. The fill doubles its reach three times (1, 2, 4 steps) through
// empty squares, so it covers the seven steps of the longest ray. `Bits` is one board word
// (as the check below uses it) or a BoardPair, whose two words are filled side by side by the
// same instructions.
template <int Shift, typename Bits>
constexpr Bits shifted(Bits b) {
    if constexpr (Shift > 0)
        return b << Shift;
    else
        return b >> -Shift;
}

template <int Shift, std::uint64_t Arrive, typename Bits>
constexpr Bits slide(Bits sliders, Bits empty) {
    Bits through = empty & Arrive;
    sliders |= through & shifted<Shift>(sliders);
    through &= shifted<Shift>(through);
    sliders |= through & shifted<2 * Shift>(sliders);
    through &= shifted<2 * Shift>(through);
    sliders |= through & shifted<4 * Shift>(sliders);
    return shifted<Shift>(sliders) & Arrive;
}

constexpr std::uint64_t NOT_FILE_A = ~FILE_A_SQUARES, NOT_FILE_H = ~FILE_H_SQUARES;

template <typename Bits>
constexpr Bits diagonal_marks(Bits sliders, Bits occupied) {
    const Bits empty = ~occupied;
    return slide<7, NOT_FILE_A>(sliders, empty) | slide<9, NOT_FILE_H>(sliders, empty) |
           slide<-9, NOT_FILE_A>(sliders, empty) | slide<-7, NOT_FILE_H>(sliders, empty);
}

template <typename Bits>
constexpr Bits line_marks(Bits sliders, Bits occupied) {
    const Bits empty = ~occupied;
    return slide<8, ~0ULL>(sliders, empty) | slide<-8, ~0ULL>(sliders, empty) |
           slide<1, NOT_FILE_H>(sliders, empty) | slide<-1, NOT_FILE_A>(sliders, empty);
}

// The set fills mark exactly what the per-square rays mark, for a slider on any square and
// blockers on the squares around it.
constexpr bool set_fills_match_rays() {
    constexpr std::uint64_t PATTERNS[] = {0, ~0ULL, 0x0000001818000000ULL, 0x00FF00000000FF00ULL,
                                          0x8142241818244281ULL, 0x55AA55AA55AA55AAULL,
                                          0x0F0F0F0F0F0F0F0FULL, 0x0123456789ABCDEFULL};
    for (int sq = 0; sq < 64; ++sq)
        for (const std::uint64_t pattern : PATTERNS) {
            const std::uint64_t slider = std::uint64_t{1} << sq, occupied = pattern & ~slider;
            std::uint64_t diagonal = 0, line = 0;
            for (int d : {NORTH_EAST, SOUTH_EAST, SOUTH_WEST, NORTH_WEST}) diagonal |= ray_to_blocker(d, sq, occupied);
            for (int d : {NORTH, EAST, SOUTH, WEST}) line |= ray_to_blocker(d, sq, occupied);
            if (diagonal_marks(slider, occupied) != diagonal || line_marks(slider, occupied) != line) return false;
        }
    return true;
}
static_assert(set_fills_match_rays());

// One colour's attack map as the generation pass leaves it, given the marks of its sliders:
// every mark of every piece, own blockers included, except own squares reached only by
// knight jumps.
template <Color C>
std::uint64_t generation_attacks(const PositionRecord& r, std::uint64_t slider_marks) {
    const std::uint64_t own = pieces(r, C).bits;
    std::uint64_t knights = 0, others = slider_marks;
    for (std::uint64_t b = piece_board(r, C, KNIGHT).bits; b; b &= b - 1) knights |= TABLES.knight[std::countr_zero(b)];
    for (std::uint64_t b = piece_board(r, C, KING).bits; b; b &= b - 1) others |= TABLES.king[std::countr_zero(b)];
    others |= pawn_attacks_of<C>(piece_board(r, C, PAWN).bits);
    return (knights & ~own) | others;
}

template <Pass P, bool DropOwn = false>
void build_maps(PositionRecord& r) {
    r.white_knight_slots = r.black_knight_slots = r.white_queen_slots = r.black_queen_slots = {};
    r.white_bishop_slots = r.black_bishop_slots = r.white_rook_slots = r.black_rook_slots = {};
    r.white_king_slots = r.black_king_slots = {};
    r.white_pawn_slots = r.black_pawn_slots = {};
    r.white_attacks = r.black_attacks = {};
    r.pass_counters = {0, 0};
    // A pawn on its last rank becomes a queen.
    promote_and_occupy(r);

    kind_pass<P, KNIGHT, DropOwn>(r);
    kind_pass<P, BISHOP, DropOwn>(r);
    kind_pass<P, ROOK, DropOwn>(r);
    kind_pass<P, QUEEN, DropOwn>(r);
    kind_pass<P, KING, DropOwn>(r);
    kind_pass<P, PAWN, DropOwn>(r);
}

}  // namespace

void build_attack_maps(GameMaps& maps) { build_maps<Pass::Attack>(maps); }
void build_target_maps(PositionRecord& record) { build_maps<Pass::Target>(record); }

// The generation pass with every targets board losing its own colour's squares as it is
// filled; the same boards as build_target_maps followed by the removal.
void generate_moves(PositionRecord& record) { build_maps<Pass::Target, true>(record); }

void generate_attack_maps(PositionRecord& record) {
    record.pass_counters = {0, 0};
    promote_and_occupy(record);
    const std::uint64_t occupied = record.white_pieces.bits | record.black_pieces.bits;
    const BoardPair both_occupied = {occupied, occupied};
    const BoardPair diagonal = {record.white_bishops.bits | record.white_queens.bits,
                                record.black_bishops.bits | record.black_queens.bits};
    const BoardPair line = {record.white_rooks.bits | record.white_queens.bits,
                            record.black_rooks.bits | record.black_queens.bits};
    const BoardPair marks = diagonal_marks(diagonal, both_occupied) | line_marks(line, both_occupied);
    record.white_attacks.bits = generation_attacks<WHITE>(record, marks[WHITE]);
    record.black_attacks.bits = generation_attacks<BLACK>(record, marks[BLACK]);
}

}  // namespace quill
