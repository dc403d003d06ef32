#include "oracles/attack_maps_by_steps.h"

#include <span>

#include "board/pawn_pushes.h"
#include "oracles/steps.h"

namespace quill {

namespace {

enum class Pass { Attack, Target };

inline constexpr int RAY_LENGTH = 8;  // step calls per direction for sliding pieces

struct KindDirections {
    std::span<const Steps> directions;
    int repetitions;
};

constexpr Steps BISHOP_DIRS[] = {RAY_STEPS[NORTH_EAST], RAY_STEPS[SOUTH_EAST], RAY_STEPS[SOUTH_WEST], RAY_STEPS[NORTH_WEST]};
constexpr Steps ROOK_DIRS[] = {RAY_STEPS[NORTH], RAY_STEPS[EAST], RAY_STEPS[SOUTH], RAY_STEPS[WEST]};
constexpr Steps ROYAL_DIRS[] = {RAY_STEPS[NORTH], RAY_STEPS[NORTH_EAST], RAY_STEPS[EAST], RAY_STEPS[SOUTH_EAST], RAY_STEPS[SOUTH], RAY_STEPS[SOUTH_WEST], RAY_STEPS[WEST], RAY_STEPS[NORTH_WEST]};
constexpr Steps WHITE_PAWN_DIRS[] = {RAY_STEPS[NORTH_EAST], RAY_STEPS[NORTH_WEST]};
constexpr Steps BLACK_PAWN_DIRS[] = {RAY_STEPS[SOUTH_EAST], RAY_STEPS[SOUTH_WEST]};

template <Color C>
constexpr KindDirections directions_of(PieceKind kind) {
    switch (kind) {
        case BISHOP: return {BISHOP_DIRS, RAY_LENGTH};
        case ROOK: return {ROOK_DIRS, RAY_LENGTH};
        case QUEEN: return {ROYAL_DIRS, RAY_LENGTH};
        case KING: return {ROYAL_DIRS, 1};
        default: return {C == WHITE ? WHITE_PAWN_DIRS : BLACK_PAWN_DIRS, 1};
    }
}

// Marks the targets of the piece standing on `square` into board `index` of its slots.
template <Pass P, Color C>
void piece_targets(PieceKind kind, ByteBoard square, PositionRecord& r, SlotView s, int index,
                   ByteBoard& accumulator) {
    ByteBoard scratch{};
    std::uint8_t stop = 0;
    if (kind == KNIGHT) {
        for (const Steps& jump : KNIGHT_JUMPS) {
            scratch = square;
            knight_jump(jump, scratch, accumulator, s, index);
        }
        // The attack pass drops own squares per knight; the generation pass leaves that to
        // generate_moves.
        if constexpr (P == Pass::Attack) s[index] &= ~pieces(r, C);
        return;
    }
    const KindDirections kd = directions_of<C>(kind);
    for (const Steps& d : kd.directions) {
        scratch = square;
        stop = 0;
        for (int rep = 0; rep < kd.repetitions && !stop; ++rep) {
            if constexpr (P == Pass::Attack)
                attack_step<C>(d, scratch, accumulator, r.white_pieces, r.black_pieces, s, index, stop);
            else
                target_step<C>(d, scratch, accumulator, r.white_pieces, r.black_pieces, s, index, stop);
        }
    }
}

// One colour of one per-kind pass: numbers the pieces into slots (rank 1 to 8, file h to a),
// marks their targets and ORs the colour's accumulator into its attack map.
template <Pass P, Color C>
void color_pass(PositionRecord& r, PieceKind kind) {
    SlotView s = slots(r, C, kind);
    const ByteBoard board = piece_board(r, C, kind);
    ByteBoard accumulator{};
    int b = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t byte = board.byte(i);
        if (!byte) continue;
        for (int bit = 0; bit < 8; ++bit) {
            const auto m = static_cast<std::uint8_t>(1u << bit);
            if (!(byte & m)) continue;
            s[b].set_byte(i, m);
            ++b;
            piece_targets<P, C>(kind, square_board(i, m), r, s, b, accumulator);
            // A piece beyond the last tracked one shares the last slot.
            b = b + 1 == s.size ? b - 1 : b + 1;
        }
    }
    if (kind == KNIGHT) accumulator &= ~pieces(r, C);
    attacks(r, C) |= accumulator;
    if (kind == PAWN) pawn_pushes<C>(r);
}

template <Pass P>
void kind_pass(PositionRecord& r, PieceKind kind) {
    color_pass<P, WHITE>(r, kind);
    color_pass<P, BLACK>(r, kind);
}

template <Pass P>
void build_maps(PositionRecord& r) {
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) {
            SlotView s = slots(r, c, PieceKind(k));
            for (int i = 0; i < s.size; ++i) s[i] = {};
        }
    r.white_pieces = r.black_pieces = r.white_attacks = r.black_attacks = {};
    r.pass_counters = {0, 0};

    // Promotion: a pawn on its last rank becomes a queen.
    if (const std::uint8_t promoted = r.white_pawns.byte(7)) {
        r.white_queens.set_byte(7, r.white_queens.byte(7) | promoted);
        r.white_pawns.set_byte(7, 0);
    }
    if (const std::uint8_t promoted = r.black_pawns.byte(0)) {
        r.black_queens.set_byte(0, r.black_queens.byte(0) | promoted);
        r.black_pawns.set_byte(0, 0);
    }

    for (int k = 0; k < PIECE_KIND_NB; ++k) {
        r.white_pieces |= piece_board(r, WHITE, PieceKind(k));
        r.black_pieces |= piece_board(r, BLACK, PieceKind(k));
    }

    for (PieceKind kind : {KNIGHT, BISHOP, ROOK, QUEEN, KING, PAWN}) kind_pass<P>(r, kind);
}

}  // namespace

void build_attack_maps_by_steps(GameMaps& maps) { build_maps<Pass::Attack>(maps); }
void build_target_maps_by_steps(PositionRecord& record) { build_maps<Pass::Target>(record); }

}  // namespace quill
