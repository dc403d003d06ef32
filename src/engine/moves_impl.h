// The body of the move makers, shared by the full-list and capture-list instantiations so
// that a program carries only the lists it uses.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "board/step_tables.h"
#include "engine/constants.h"
#include "engine/moves.h"

namespace quill {

// Recomputes CASTLE_SHORT_NOW and CASTLE_LONG_NOW: rights intact, king on e and rook on
// its corner of the back rank, the squares between empty, and the king's path unattacked
// (b1/b8 may be attacked for the long castling).
template <Color C>
void update_castling_availability(PositionRecord& r) {
    std::uint8_t& flags = castling(r, C)[CASTLE_FLAGS_BYTE];
    flags &= static_cast<std::uint8_t>(~(CASTLE_SHORT_NOW | CASTLE_LONG_NOW));
    const int back = relative_rank(C, 0);
    const std::uint8_t occupied = (r.white_pieces | r.black_pieces).byte(back);
    const std::uint8_t attacked = attacks(r, ~C).byte(back);
    const std::uint8_t rooks = piece_board(r, C, ROOK).byte(back);
    const bool king_home = piece_board(r, C, KING).byte(back) & FILE_E;
    if ((flags & CASTLE_KING_RIGHT) && (flags & CASTLE_SHORT_ROOK) && !(occupied & (FILE_F | FILE_G)) &&
        (rooks & FILE_H) && king_home && !(attacked & (FILE_E | FILE_F | FILE_G)))
        flags |= CASTLE_SHORT_NOW;
    if ((flags & CASTLE_KING_RIGHT) && (flags & CASTLE_LONG_ROOK) &&
        !(occupied & (FILE_B | FILE_C | FILE_D)) && (rooks & FILE_A) && king_home &&
        !(attacked & (FILE_E | FILE_D | FILE_C)))
        flags |= CASTLE_LONG_NOW;
}

namespace detail {

// Kind order of the candidates within the capture group and within the quiet group.
constexpr PieceKind MOVE_ORDER[] = {KNIGHT, BISHOP, QUEEN, PAWN, ROOK, KING};

// Castling: king and rook leave e and the corner, the rook lands beside the king's new
// square and the king byte of the back rank becomes exactly its target.
template <Color C>
void make_castling(PositionRecord& r, bool short_side) {
    const int back = relative_rank(C, 0);
    std::uint8_t mask = FILE_E;
    clear_square(r, back, mask);
    mask = short_side ? FILE_H : FILE_A;
    clear_square(r, back, mask);
    ByteBoard& rooks = piece_board(r, C, ROOK);
    rooks.set_byte(back, rooks.byte(back) | (short_side ? FILE_F : FILE_D));
    piece_board(r, C, KING).set_byte(back, short_side ? FILE_G : FILE_C);
    castling(r, C)[CASTLE_FLAGS_BYTE] = 0;
}

// En passant by the pawn on file `from_file` onto file `to_file`; the enemy pawn beside it
// goes. Nothing else changes, the en-passant masks included.
template <Color C>
void make_en_passant(PositionRecord& r, std::uint8_t from_file, std::uint8_t to_file) {
    const int from = relative_rank(C, 4), to = relative_rank(C, 5);
    ByteBoard& own = piece_board(r, C, PAWN);
    ByteBoard& enemy = piece_board(r, ~C, PAWN);
    own.set_byte(from, own.byte(from) & static_cast<std::uint8_t>(~from_file));
    own.set_byte(to, own.byte(to) | to_file);
    enemy.set_byte(from, enemy.byte(from) & static_cast<std::uint8_t>(~to_file));
}

// A piece of `kind` standing on `from` moves to (rank, mask); whatever stood there goes.
template <Color C>
void make_piece_move(PositionRecord& r, PieceKind kind, ByteBoard from, int rank, std::uint8_t mask) {
    ByteBoard& board = piece_board(r, C, kind);
    const ByteBoard& pawns = piece_board(r, C, PAWN);
    const int second = relative_rank(C, 1), fourth = relative_rank(C, 3);
    const std::uint8_t second_before = pawns.byte(second), fourth_before = pawns.byte(fourth);

    board &= ~from;
    std::uint8_t cleared = mask;
    clear_square(r, rank, cleared);
    board |= square_board(rank, mask);

    std::uint8_t& flags = castling(r, C)[CASTLE_FLAGS_BYTE];
    const int back = relative_rank(C, 0);
    if (kind == PAWN) {
        // The enemy may take en passant only right after a double step, on its file.
        std::uint8_t& enemy_mask = castling(r, ~C)[EN_PASSANT_BYTE];
        enemy_mask = 0;
        if (pawns.byte(second) < second_before && pawns.byte(fourth) > fourth_before)
            enemy_mask = static_cast<std::uint8_t>(pawns.byte(fourth) - fourth_before);
    } else if (kind == ROOK) {
        if (from.byte(back) & FILE_H) flags &= static_cast<std::uint8_t>(~CASTLE_SHORT_ROOK);
        if (from.byte(back) & FILE_A) flags &= static_cast<std::uint8_t>(~CASTLE_LONG_ROOK);
    } else if (kind == KING) {
        flags = 0;
    }
    // A move onto an enemy corner takes (or displaces) the rook that stood there, so that
    // corner's castling right is gone even if another rook arrives later.
    if (rank == relative_rank(~C, 0)) {
        std::uint8_t& enemy_flags = castling(r, ~C)[CASTLE_FLAGS_BYTE];
        if (mask == FILE_H) enemy_flags &= static_cast<std::uint8_t>(~CASTLE_SHORT_ROOK);
        if (mask == FILE_A) enemy_flags &= static_cast<std::uint8_t>(~CASTLE_LONG_ROOK);
    }
}

// Slots in use: the number of non-zero bytes among the kind's square boards, never more
// than the kind has; the king always has its one slot.
inline int slots_in_use(ConstSlotView s, PieceKind kind) {
    if (kind == KING) return KING_SLOTS;
    int used = 0;
    for (int i = 0; i < s.size; i += 2) {
        // The high bit of each byte of `nonzero` tells whether that byte is non-zero.
        const std::uint64_t x = s[i].bits;
        const std::uint64_t nonzero = (((x & 0x7F7F7F7F7F7F7F7FULL) + 0x7F7F7F7F7F7F7F7FULL) | x) & 0x8080808080808080ULL;
        used += count_squares(nonzero);
    }
    return std::min(used, slot_count(kind));
}

}  // namespace detail

// The movers of one side in enumeration order: by kind (knights, bishops, queens, pawns,
// rooks, king), then by slot; each with its square board and its targets.
struct Mover {
    PieceKind kind;
    std::uint64_t from;
    std::uint64_t targets;
};
inline constexpr int MAX_MOVERS = 4 * MINOR_SLOTS + PAWN_SLOTS + KING_SLOTS;
struct Movers {
    std::array<Mover, MAX_MOVERS> list;
    int count = 0;
};

// The movers as the slots of a regenerated record hold them.
template <Color C>
void movers_from_slots(const PositionRecord& r, Movers& m) {
    using namespace detail;
    m.count = 0;
    for (const PieceKind kind : MOVE_ORDER) {
        const ConstSlotView s = slots(r, C, kind);
        const int used = slots_in_use(s, kind);
        for (int slot = 0; slot < used; ++slot) m.list[m.count++] = {kind, s[2 * slot].bits, s[2 * slot + 1].bits};
    }
}

// Walks side C's candidates of list L in ordinal order and hands those with ordinals
// first..last to `emit` (ordinal, candidate), which returns true to stop the walk there;
// the walk stops after `last` in any case. Returns the number of
// candidates met, at most `last`. The castling bits must be up to date. Whole targets
// boards before `first` are skipped by counting their squares.
template <Color C, MoveList L, typename Emit>
std::int32_t walk_movers(const PositionRecord& r, const Movers& movers, std::int32_t first, std::int32_t last,
                         Emit&& emit) {
    std::int32_t count = 0;
    const auto offer = [&](const Candidate& c) {
        ++count;
        if (count >= first && emit(count, c)) return true;
        return count >= last;
    };
    const std::uint8_t flags = castling(r, C)[CASTLE_FLAGS_BYTE];
    if ((flags & CASTLE_SHORT_NOW) && offer(Candidate::castling(true))) return count;
    if ((flags & CASTLE_LONG_NOW) && offer(Candidate::castling(false))) return count;

    // En passant, first by the pawn on the a-side of the double-stepped pawn, then the h-side.
    if (const std::uint8_t e = castling(r, C)[EN_PASSANT_BYTE]) {
        const std::uint8_t pawns = piece_board(r, C, PAWN).byte(relative_rank(C, 4));
        for (const auto from_file : {static_cast<std::uint8_t>(e << 1), static_cast<std::uint8_t>(e >> 1)})
            if (from_file && (pawns & from_file) && offer(Candidate::en_passant(from_file, e)))
                return count;
    }

    // Captures, then quiet moves; within a slot rank 1 to 8 and file h to a, which is the
    // order of rising bit indexes.
    const std::uint64_t enemy = pieces(r, ~C).bits;
    for (const bool captures : {true, false}) {
        if (!captures && L == MoveList::Captures) break;
        for (int i = 0; i < movers.count; ++i) {
            const Mover& m = movers.list[i];
            std::uint64_t squares = m.targets & (captures ? enemy : ~enemy);
            if (count + 1 < first) {
                if (const int n = count_squares(squares); count + n < first) {
                    count += n;
                    continue;
                }
            }
            for (; squares; squares &= squares - 1)
                if (offer(Candidate::piece_move(m.kind, ByteBoard{m.from}, std::countr_zero(squares)))) return count;
        }
    }
    return count;
}

// Whether no kind of side C has more pieces than slots, so that slot k of a kind holds its
// k-th piece in square order and the movers can be read from the piece boards.
template <Color C>
bool kinds_fit_their_slots(const PositionRecord& r) {
    for (const PieceKind kind : detail::MOVE_ORDER)
        if (count_squares(piece_board(r, C, kind).bits) > slot_count(kind)) return false;
    return true;
}

// The movers straight from the piece boards, for a record whose occupancy and attack maps
// are current but whose slots may be stale. When no kind has more pieces than slots, slot k
// of a kind holds its k-th piece in square order, with the targets computed here; then the
// list equals movers_from_slots after generate_moves and true is returned. Otherwise (a
// shared slot) nothing is listed and false is returned.
template <Color C>
bool movers_from_boards(const PositionRecord& r, Movers& m) {
    using namespace detail;
    if (!kinds_fit_their_slots<C>(r)) return false;
    const std::uint64_t own = pieces(r, C).bits, enemy = pieces(r, ~C).bits, occupied = own | enemy;
    m.count = 0;
    for (const PieceKind kind : MOVE_ORDER)
        for (std::uint64_t board = piece_board(r, C, kind).bits; board; board &= board - 1) {
            const int sq = std::countr_zero(board);
            const std::uint64_t from = std::uint64_t{1} << sq;
            std::uint64_t targets;
            if (kind == PAWN) {
                // Captures onto enemy squares, the push and, from the second rank, the double
                // push over a free square; a pawn on its own back rank does not push.
                targets = TABLES.pawn[C][sq] & enemy;
                const int rank = relative_rank(C, sq / 8);
                if (rank >= 1 && rank <= 6) {
                    const std::uint64_t one = (C == WHITE ? from << 8 : from >> 8) & ~occupied;
                    targets |= one;
                    if (rank == 1 && one) targets |= (C == WHITE ? one << 8 : one >> 8) & ~occupied;
                }
            } else {
                targets = marked_squares(kind, C, sq, occupied) & ~own;
            }
            m.list[m.count++] = {kind, from, targets};
        }
    return true;
}

// The movers that have a capture, each with only its capturing targets, for a record whose
// occupancy and attack maps are current: walking the capture list over them meets the same
// candidates as over all movers, since that walk looks only at targets on enemy squares and
// a mover without one adds nothing. Returns false, listing nothing, when a kind has more
// pieces than slots.
template <Color C>
bool capture_movers_from_boards(const PositionRecord& r, Movers& m) {
    using namespace detail;
    if (!kinds_fit_their_slots<C>(r)) return false;
    const std::uint64_t enemy = pieces(r, ~C).bits, occupied = pieces(r, C).bits | enemy;
    m.count = 0;
    for (const PieceKind kind : MOVE_ORDER)
        for (std::uint64_t board = piece_board(r, C, kind).bits; board; board &= board - 1) {
            const int sq = std::countr_zero(board);
            // A slider whose empty-board lines hold no enemy piece has no capture.
            if ((kind == BISHOP || kind == ROOK || kind == QUEEN) && !(empty_board_lines(kind, sq) & enemy))
                continue;
            const std::uint64_t targets = marked_squares(kind, C, sq, occupied) & enemy;
            if (targets) m.list[m.count++] = {kind, std::uint64_t{1} << sq, targets};
        }
    return true;
}

template <Color C, MoveList L, typename Emit>
std::int32_t walk_candidates(const PositionRecord& r, std::int32_t first, std::int32_t last, Emit&& emit) {
    Movers movers;
    movers_from_slots<C>(r, movers);
    return walk_movers<C, L>(r, movers, first, last, emit);
}

// Makes one candidate on a record whose piece boards and castling states are those the
// candidate was listed from; only the position core is read or written.
template <Color C>
void make_candidate(PositionRecord& r, const Candidate& c) {
    using namespace detail;
    switch (c.type) {
        case Candidate::SHORT_CASTLING: return make_castling<C>(r, true);
        case Candidate::LONG_CASTLING: return make_castling<C>(r, false);
        case Candidate::EN_PASSANT: return make_en_passant<C>(r, c.from_file, c.to_file);
        default:
            return make_piece_move<C>(r, c.kind, ByteBoard{c.from}, c.square / 8, static_cast<std::uint8_t>(1u << (c.square % 8)));
    }
}

template <Color C, MoveList L>
void make_move(PositionRecord& r, std::int32_t n) {
    update_castling_availability<C>(r);
    if (n <= 0) return;
    Candidate chosen = Candidate::castling(true);
    const auto take = [&](std::int32_t, const Candidate& c) {
        chosen = c;
        return true;
    };
    if (walk_candidates<C, L>(r, n, n, take) < n) {
        move_ordinal(r, C) = ORDINAL_EXHAUSTED;
        return;
    }
    make_candidate<C>(r, chosen);
    move_ordinal(r, C) = n;
}

}  // namespace quill
