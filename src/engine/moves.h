// Move making by ordinal: a move is named only by its place in the side's fixed enumeration.
#pragma once

#include "board/types.h"

namespace quill {

// Which enumeration a maker walks: every candidate, or castling, en passant and captures.
enum class MoveList { Full, Captures };

// One candidate of a side's move list, enough to make it on a copy of the position core.
struct Candidate {
    enum Type : std::uint8_t { SHORT_CASTLING, LONG_CASTLING, EN_PASSANT, PIECE_MOVE };
    // No default member values: move lists are arrays filled only as far as they are used.
    Type type;
    PieceKind kind;
    std::uint8_t from_file, to_file;  // en passant: the capturing pawn's file, the target file
    std::uint8_t square;              // piece move: bit index of the target square
    std::uint64_t from;               // piece move: the bits of the slot's square board

    static constexpr Candidate castling(bool short_side) {
        return {short_side ? SHORT_CASTLING : LONG_CASTLING, KING, 0, 0, 0, 0};
    }
    static constexpr Candidate en_passant(std::uint8_t from_file, std::uint8_t to_file) {
        return {EN_PASSANT, PAWN, from_file, to_file, 0, 0};
    }
    static constexpr Candidate piece_move(PieceKind kind, ByteBoard from, int square) {
        return {PIECE_MOVE, kind, 0, 0, static_cast<std::uint8_t>(square), from.bits};
    }
};

// Makes candidate n of side C's enumeration on a record that generate_moves has brought up to
// date, and records n as the side's move ordinal; sets ORDINAL_EXHAUSTED (changing no board)
// when there are fewer than n candidates, and makes nothing for n <= 0. The castling
// availability bits are recomputed on every call. Derived boards are left stale.
template <Color C, MoveList L>
void make_move(PositionRecord& record, std::int32_t n);


// A side may take en passant only with its move right after the enemy's double step: once it
// has moved, its own en-passant mask is gone. The makers leave that to their callers.
constexpr void expire_en_passant(PositionRecord& r, Color mover) { castling(r, mover)[EN_PASSANT_BYTE] = 0; }

// Colour as a run-time value, for callers that hold the side in a variable.
inline void make_side_move(PositionRecord& r, Color c, std::int32_t n) {
    c == WHITE ? make_move<WHITE, MoveList::Full>(r, n) : make_move<BLACK, MoveList::Full>(r, n);
}

}  // namespace quill
