#include "board/attack_maps.h"

#include <bit>

#include "board/pawn_pushes.h"
#include "board/shifts.h"

namespace quill {

namespace {

enum class Pass { Attack, Target };

// Per-square tables of every ray, jump and step, derived once from the shift primitives:
// the squares a piece reaches on an empty board, in the order the passes walk them.
struct StepTables {
    static constexpr int DIRECTIONS = 8;  // N, NE, E, SE, S, SW, W, NW
    std::uint64_t ray[DIRECTIONS][64]{};
    bool ascending[DIRECTIONS]{};  // whether bit indexes grow along the direction
    std::uint64_t knight[64]{};
    std::uint64_t king[64]{};
    std::uint64_t pawn[2][64]{};
};

constexpr Direction TABLE_DIRS[StepTables::DIRECTIONS] = {DIR_N, DIR_NE, DIR_E, DIR_SE,
                                                          DIR_S, DIR_SW, DIR_W, DIR_NW};
enum : int { N, NE, E, SE, S, SW, W, NW };

constexpr StepTables derive_step_tables() {
    StepTables t;
    for (int sq = 0; sq < 64; ++sq) {
        const ByteBoard start{std::uint64_t{1} << sq};
        for (int d = 0; d < StepTables::DIRECTIONS; ++d) {
            ByteBoard s = start;
            // A ray ends at the first failed step; later steps in it never mark.
            for (int step = 0; step < 8 && !apply_direction(TABLE_DIRS[d], s); ++step) t.ray[d][sq] |= s.bits;
            s = start;
            if (!apply_direction(TABLE_DIRS[d], s)) t.king[sq] |= s.bits;
        }
        for (const Direction& jump : KNIGHT_JUMPS) {
            ByteBoard s = start;
            if (!apply_direction(jump, s)) t.knight[sq] |= s.bits;
        }
        for (const Direction& d : {DIR_NE, DIR_NW}) {
            ByteBoard s = start;
            if (!apply_direction(d, s)) t.pawn[WHITE][sq] |= s.bits;
        }
        for (const Direction& d : {DIR_SE, DIR_SW}) {
            ByteBoard s = start;
            if (!apply_direction(d, s)) t.pawn[BLACK][sq] |= s.bits;
        }
    }
    for (int d = 0; d < StepTables::DIRECTIONS; ++d) {
        ByteBoard s{std::uint64_t{1} << 27};  // a central square
        apply_direction(TABLE_DIRS[d], s);
        t.ascending[d] = s.bits > (std::uint64_t{1} << 27);
    }
    return t;
}

constexpr StepTables TABLES = derive_step_tables();

// The squares of one ray up to and including its first occupied square.
inline std::uint64_t ray_to_blocker(int d, int sq, std::uint64_t occupied) {
    const std::uint64_t ray = TABLES.ray[d][sq];
    const std::uint64_t blockers = ray & occupied;
    if (!blockers) return ray;
    const int first = TABLES.ascending[d] ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
    return ray & ~TABLES.ray[d][first];
}

// The squares a piece marks from `sq`: every ray up to and including its first blocker,
// whatever the blocker's colour; jumps and steps whoever stands there.
inline std::uint64_t marked_squares(PieceKind kind, Color c, int sq, std::uint64_t occupied) {
    switch (kind) {
        case KNIGHT: return TABLES.knight[sq];
        case BISHOP: return ray_to_blocker(NE, sq, occupied) | ray_to_blocker(SE, sq, occupied) |
                            ray_to_blocker(SW, sq, occupied) | ray_to_blocker(NW, sq, occupied);
        case ROOK: return ray_to_blocker(N, sq, occupied) | ray_to_blocker(E, sq, occupied) |
                          ray_to_blocker(S, sq, occupied) | ray_to_blocker(W, sq, occupied);
        case QUEEN: return marked_squares(BISHOP, c, sq, occupied) | marked_squares(ROOK, c, sq, occupied);
        case KING: return TABLES.king[sq];
        default: return TABLES.pawn[c][sq];
    }
}

// One colour of one per-kind pass: numbers the pieces into slots (rank 1 to 8, file h to
// a, which is the order of rising bit indexes), marks their targets and ORs the colour's
// accumulator into its attack map. The attack pass keeps own squares out of every mark
// except a knight's (removed per knight); the generation pass keeps the own blockers.
// With DropOwn the targets boards lose the own squares at once, as generate_moves wants.
template <Pass P, Color C, PieceKind K, bool DropOwn = false>
void colour_pass(PositionRecord& r) {
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
    colour_pass<P, WHITE, K, DropOwn>(r);
    colour_pass<P, BLACK, K, DropOwn>(r);
}

template <Pass P, bool DropOwn = false>
void build_maps(PositionRecord& r) {
    r.white_knight_slots = r.black_knight_slots = r.white_queen_slots = r.black_queen_slots = {};
    r.white_bishop_slots = r.black_bishop_slots = r.white_rook_slots = r.black_rook_slots = {};
    r.white_king_slots = r.black_king_slots = {};
    r.white_pawn_slots = r.black_pawn_slots = {};
    r.white_attacks = r.black_attacks = {};
    r.pass_counters = {0, 0};

    // Promotion: a pawn on its last rank becomes a queen.
    constexpr std::uint64_t RANK_8 = 0xFF00000000000000ULL, RANK_1 = 0xFFULL;
    r.white_queens.bits |= r.white_pawns.bits & RANK_8;
    r.white_pawns.bits &= ~RANK_8;
    r.black_queens.bits |= r.black_pawns.bits & RANK_1;
    r.black_pawns.bits &= ~RANK_1;

    r.white_pieces = r.white_knights | r.white_bishops | r.white_rooks | r.white_queens | r.white_king | r.white_pawns;
    r.black_pieces = r.black_knights | r.black_bishops | r.black_rooks | r.black_queens | r.black_king | r.black_pawns;

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

void knight_attacks(GameMaps& m) { kind_pass<Pass::Attack, KNIGHT>(m); }
void bishop_attacks(GameMaps& m) { kind_pass<Pass::Attack, BISHOP>(m); }
void rook_attacks(GameMaps& m) { kind_pass<Pass::Attack, ROOK>(m); }
void queen_attacks(GameMaps& m) { kind_pass<Pass::Attack, QUEEN>(m); }
void king_attacks(GameMaps& m) { kind_pass<Pass::Attack, KING>(m); }
void pawn_attacks(GameMaps& m) { kind_pass<Pass::Attack, PAWN>(m); }
void knight_targets(PositionRecord& r) { kind_pass<Pass::Target, KNIGHT>(r); }
void bishop_targets(PositionRecord& r) { kind_pass<Pass::Target, BISHOP>(r); }
void rook_targets(PositionRecord& r) { kind_pass<Pass::Target, ROOK>(r); }
void queen_targets(PositionRecord& r) { kind_pass<Pass::Target, QUEEN>(r); }
void king_targets(PositionRecord& r) { kind_pass<Pass::Target, KING>(r); }
void pawn_targets(PositionRecord& r) { kind_pass<Pass::Target, PAWN>(r); }

}  // namespace quill
