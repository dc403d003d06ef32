// The position model: ByteBoard, BoardText, the piece boards, PieceSlots and PositionRecord.
#pragma once

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace quill {

// A bitboard of eight bytes, one per rank: byte 0 is rank 1, byte 7 rank 8; within a byte
// file a is 0x80 and file h 0x01. Held as one 64-bit word whose byte r is bits 8r..8r+7, so
// whole-board operations are single word operations while every byte keeps its meaning.
struct ByteBoard {
    std::uint64_t bits = 0;

    constexpr std::uint8_t byte(int rank_index) const {
        assert(rank_index >= 0 && rank_index < 8);
        return static_cast<std::uint8_t>(bits >> (8 * rank_index));
    }
    constexpr void set_byte(int rank_index, std::uint8_t value) {
        assert(rank_index >= 0 && rank_index < 8);
        const int shift = 8 * rank_index;
        bits = (bits & ~(std::uint64_t{0xFF} << shift)) | (std::uint64_t{value} << shift);
    }
    constexpr bool any() const { return bits != 0; }
    constexpr bool empty() const { return bits == 0; }
    constexpr bool intersects(ByteBoard other) const { return (bits & other.bits) != 0; }

    constexpr ByteBoard operator|(ByteBoard o) const { return {bits | o.bits}; }
    constexpr ByteBoard operator&(ByteBoard o) const { return {bits & o.bits}; }
    constexpr ByteBoard operator~() const { return {~bits}; }
    constexpr ByteBoard& operator|=(ByteBoard o) { bits |= o.bits; return *this; }
    constexpr ByteBoard& operator&=(ByteBoard o) { bits &= o.bits; return *this; }
    friend constexpr bool operator==(ByteBoard, ByteBoard) = default;
};
static_assert(sizeof(ByteBoard) == 8 && std::is_trivially_copyable_v<ByteBoard>);

// The number of squares of a board word: one instruction where the build targets a
// processor that has it, written out otherwise (std::popcount on the baseline x86-64 target
// becomes a library call).
constexpr int count_squares(std::uint64_t b) {
#ifdef __POPCNT__
    return std::popcount(b);
#else
    b = b - ((b >> 1) & 0x5555555555555555ULL);
    b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((b * 0x0101010101010101ULL) >> 56);
#endif
}

// File masks within a rank byte.
inline constexpr std::uint8_t FILE_A = 0x80, FILE_B = 0x40, FILE_C = 0x20, FILE_D = 0x10,
                              FILE_E = 0x08, FILE_F = 0x04, FILE_G = 0x02, FILE_H = 0x01;

// The mask of a file given its index, 0 for file a up to 7 for file h.
constexpr std::uint8_t file_mask(int file_index) {
    assert(file_index >= 0 && file_index < 8);
    return static_cast<std::uint8_t>(FILE_A >> file_index);
}

// Every square of the edge files, as board words: the bit of file a, or of file h, in each
// of the eight rank bytes.
inline constexpr std::uint64_t FILE_A_SQUARES = 0x8080808080808080ULL;
inline constexpr std::uint64_t FILE_H_SQUARES = 0x0101010101010101ULL;

// The board of one square, given its rank index (0 = rank 1) and file mask.
constexpr ByteBoard square_board(int rank_index, std::uint8_t file_mask) {
    ByteBoard b;
    b.set_byte(rank_index, file_mask);
    return b;
}

// The board of one square named in text, e.g. "e4"; for tables and tests.
constexpr ByteBoard square_board(std::string_view name) {
    assert(name.size() == 2 && name[0] >= 'a' && name[0] <= 'h' && name[1] >= '1' && name[1] <= '8');
    return square_board(name[1] - '1', file_mask(name[0] - 'a'));
}

// 64 characters, a8..h8, a7..h7, ..., a1..h1.
inline constexpr int BOARD_TEXT_LENGTH = 64;
using BoardText = std::array<char, BOARD_TEXT_LENGTH>;

enum Color : int { WHITE = 0, BLACK = 1 };
constexpr Color operator~(Color c) { return Color(c ^ 1); }

// Piece kinds in the order of the piece boards within one colour.
enum PieceKind : int { KNIGHT = 0, BISHOP, ROOK, QUEEN, KING, PAWN, PIECE_KIND_NB };

// The twelve piece boards: six kinds of each colour.
inline constexpr int PIECE_BOARD_COUNT = 2 * PIECE_KIND_NB;

// Black's rook, knight, bishop, queen, king, pawn, White's in the same order, then the blank.
inline constexpr std::string_view PieceLetters = "rnbqkpRNBQKP ";
static_assert(PieceLetters.size() == PIECE_BOARD_COUNT + 1);
inline constexpr char EMPTY_SQUARE = PieceLetters[PIECE_BOARD_COUNT];

inline constexpr std::string_view START_TEXT =
    "rnbqkbnrpppppppp"
    "                "
    "                "
    "PPPPPPPPRNBQKBNR";
static_assert(START_TEXT.size() == BOARD_TEXT_LENGTH);

constexpr BoardText make_board_text(std::string_view text) {
    BoardText t{};
    for (int j = 0; j < BOARD_TEXT_LENGTH; ++j) t[j] = j < int(text.size()) ? text[j] : EMPTY_SQUARE;
    return t;
}

// Three castling-state bytes per side: byte 1 the en-passant file mask this side may use,
// byte 2 its castle flags; byte 0 carries nothing.
using CastlingState = std::array<std::uint8_t, 3>;
inline constexpr int EN_PASSANT_BYTE = 1;
inline constexpr int CASTLE_FLAGS_BYTE = 2;
inline constexpr CastlingState WHITE_CASTLING_START = {0x00, 0x00, 0xC1};
inline constexpr CastlingState BLACK_CASTLING_START = {0x00, 0x04, 0xC1};

// Castle flags (byte 2 of a castling state).
inline constexpr std::uint8_t CASTLE_KING_RIGHT = 0x01;
inline constexpr std::uint8_t CASTLE_SHORT_NOW = 0x02;
inline constexpr std::uint8_t CASTLE_LONG_NOW = 0x04;
inline constexpr std::uint8_t CASTLE_SHORT_ROOK = 0x40;
inline constexpr std::uint8_t CASTLE_LONG_ROOK = 0x80;

// PieceSlots: slot k is board 2k (the piece's square) and board 2k + 1 (its targets).
inline constexpr int MINOR_SLOTS = 3, KING_SLOTS = 1, PAWN_SLOTS = 8;
using MinorSlots = std::array<ByteBoard, 2 * MINOR_SLOTS>;  // knights, bishops, rooks, queens
using KingSlots = std::array<ByteBoard, 2 * KING_SLOTS>;
using PawnSlots = std::array<ByteBoard, 2 * PAWN_SLOTS>;

constexpr int slot_count(PieceKind kind) {
    return kind == KING ? KING_SLOTS : kind == PAWN ? PAWN_SLOTS : MINOR_SLOTS;
}

using PassCounters = std::array<std::int32_t, 2>;

// One position with everything derived from it, copied whole by value. The fields keep
// their fixed order; the leading ones up to move_made_flag are the position core.
struct PositionRecord {
    ByteBoard white_knights, white_bishops, white_rooks, white_queens, white_king, white_pawns;
    ByteBoard black_knights, black_bishops, black_rooks, black_queens, black_king, black_pawns;
    CastlingState white_castling{};
    CastlingState black_castling{};
    PassCounters pass_counters{};
    std::uint8_t move_made_flag = 0;
    ByteBoard white_pieces, black_pieces;
    ByteBoard white_attacks, black_attacks;
    MinorSlots white_knight_slots{}, black_knight_slots{};
    MinorSlots white_queen_slots{}, black_queen_slots{};
    MinorSlots white_bishop_slots{}, black_bishop_slots{};
    MinorSlots white_rook_slots{}, black_rook_slots{};
    KingSlots white_king_slots{}, black_king_slots{};
    PawnSlots white_pawn_slots{}, black_pawn_slots{};
    std::int32_t white_move_ordinal = 0;
    std::int32_t black_move_ordinal = 0;

    friend bool operator==(const PositionRecord&, const PositionRecord&) = default;
};
static_assert(std::is_trivially_copyable_v<PositionRecord>);

// The game maps: the same set of maps held for the game in progress. They share the record
// type; move_made_flag and the move ordinals are simply unused there.
using GameMaps = PositionRecord;

// The twelve piece boards of a record by colour and kind. A table at namespace scope, so
// that no call copies it onto the stack (which instrumented builds check byte by byte).
inline constexpr ByteBoard PositionRecord::* PIECE_BOARD_FIELDS[2][PIECE_KIND_NB] = {
    {&PositionRecord::white_knights, &PositionRecord::white_bishops, &PositionRecord::white_rooks,
     &PositionRecord::white_queens, &PositionRecord::white_king, &PositionRecord::white_pawns},
    {&PositionRecord::black_knights, &PositionRecord::black_bishops, &PositionRecord::black_rooks,
     &PositionRecord::black_queens, &PositionRecord::black_king, &PositionRecord::black_pawns}};

// Colour-generic access to the fields of a record.
constexpr ByteBoard& piece_board(PositionRecord& r, Color c, PieceKind k) { return r.*PIECE_BOARD_FIELDS[c][k]; }
constexpr const ByteBoard& piece_board(const PositionRecord& r, Color c, PieceKind k) {
    return piece_board(const_cast<PositionRecord&>(r), c, k);
}
constexpr ByteBoard& pieces(PositionRecord& r, Color c) { return c == WHITE ? r.white_pieces : r.black_pieces; }
constexpr const ByteBoard& pieces(const PositionRecord& r, Color c) { return c == WHITE ? r.white_pieces : r.black_pieces; }
constexpr ByteBoard& attacks(PositionRecord& r, Color c) { return c == WHITE ? r.white_attacks : r.black_attacks; }
constexpr const ByteBoard& attacks(const PositionRecord& r, Color c) { return c == WHITE ? r.white_attacks : r.black_attacks; }
constexpr CastlingState& castling(PositionRecord& r, Color c) { return c == WHITE ? r.white_castling : r.black_castling; }
constexpr const CastlingState& castling(const PositionRecord& r, Color c) { return c == WHITE ? r.white_castling : r.black_castling; }
constexpr std::int32_t& move_ordinal(PositionRecord& r, Color c) { return c == WHITE ? r.white_move_ordinal : r.black_move_ordinal; }
constexpr std::int32_t move_ordinal(const PositionRecord& r, Color c) { return c == WHITE ? r.white_move_ordinal : r.black_move_ordinal; }

// The slot boards of one colour and kind: 2 * slot_count(kind) boards.
template <typename Board>
struct BasicSlotView {
    Board* boards;
    int size;  // number of boards, twice the number of slots
    Board& operator[](int i) const { assert(i >= 0 && i < size); return boards[i]; }
};
using SlotView = BasicSlotView<ByteBoard>;
using ConstSlotView = BasicSlotView<const ByteBoard>;

inline SlotView slots(PositionRecord& r, Color c, PieceKind k) {
    const bool w = c == WHITE;
    switch (k) {
        case KNIGHT: return {(w ? r.white_knight_slots : r.black_knight_slots).data(), 2 * MINOR_SLOTS};
        case BISHOP: return {(w ? r.white_bishop_slots : r.black_bishop_slots).data(), 2 * MINOR_SLOTS};
        case ROOK: return {(w ? r.white_rook_slots : r.black_rook_slots).data(), 2 * MINOR_SLOTS};
        case QUEEN: return {(w ? r.white_queen_slots : r.black_queen_slots).data(), 2 * MINOR_SLOTS};
        case KING: return {(w ? r.white_king_slots : r.black_king_slots).data(), 2 * KING_SLOTS};
        default: return {(w ? r.white_pawn_slots : r.black_pawn_slots).data(), 2 * PAWN_SLOTS};
    }
}
inline ConstSlotView slots(const PositionRecord& r, Color c, PieceKind k) {
    const SlotView v = slots(const_cast<PositionRecord&>(r), c, k);
    return {v.boards, v.size};
}

// Copies the position core, the fields that generate_moves does not rebuild: the twelve
// piece boards, both castling states, pass_counters and move_made_flag.
inline void copy_position_core(const PositionRecord& from, PositionRecord& to) {
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k) piece_board(to, c, PieceKind(k)) = piece_board(from, c, PieceKind(k));
    to.white_castling = from.white_castling;
    to.black_castling = from.black_castling;
    to.pass_counters = from.pass_counters;
    to.move_made_flag = from.move_made_flag;
}

// Rank index as seen by colour c: rank 1 for White is rank 8 for Black.
constexpr int relative_rank(Color c, int rank_index) { return c == WHITE ? rank_index : 7 - rank_index; }

}  // namespace quill
