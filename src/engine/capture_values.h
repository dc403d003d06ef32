// A table of proven capture-search values. The capture search's score of a position is the
// minimax value of its captures-only tree clipped to the window, and that value depends on
// nothing but the piece boards, the two castling states and the side to move; so a bound once
// proven for a position holds for good, in this search and every later one.
#pragma once

#include <array>
#include <cstdint>

#include "board/types.h"

namespace quill {

// Everything the value of a capture position depends on, compared in full on every probe so
// that two positions never share an entry by accident.
struct CapturePositionKey {
    std::array<std::uint64_t, 2 * PIECE_KIND_NB> boards;
    std::uint64_t state;  // both castling states and the side to move

    friend bool operator==(const CapturePositionKey&, const CapturePositionKey&) = default;
};

// What is known of one position's value: lower <= value <= upper.
struct CaptureBounds {
    std::int32_t lower;
    std::int32_t upper;
};

// A direct-mapped table of bounds on capture-search values; a new position takes the place
// of whatever was in its entry. The table is static storage, so nothing is allocated while
// searching; each build's form of the search keeps a table of its own.
class CaptureValueTable {
public:
    static constexpr int INDEX_BITS = 16;

    static CapturePositionKey key_of(const PositionRecord& r, Color side_to_move) {
        CapturePositionKey key{};
        int i = 0;
        for (Color c : {WHITE, BLACK})
            for (int k = 0; k < PIECE_KIND_NB; ++k) key.boards[i++] = piece_board(r, c, PieceKind(k)).bits;
        std::uint64_t state = 0;
        for (const std::uint8_t b : r.white_castling) state = state << 8 | b;
        for (const std::uint8_t b : r.black_castling) state = state << 8 | b;
        key.state = state << 1 | (side_to_move == WHITE ? 1 : 0);
        return key;
    }

    // The bounds known for the position, or nothing.
    const CaptureBounds* find(const CapturePositionKey& key) const {
        const Entry& e = entries_[index_of(key)];
        return e.generation == generation() && e.key == key ? &e.bounds : nullptr;
    }

    // Adds what a search has just proven; bounds already known for the same position are kept
    // where they are tighter.
    void record(const CapturePositionKey& key, std::int32_t lower, std::int32_t upper) {
        Entry& e = entries_[index_of(key)];
        if (e.generation == generation() && e.key == key) {
            if (e.bounds.lower > lower) lower = e.bounds.lower;
            if (e.bounds.upper < upper) upper = e.bounds.upper;
        }
        e.key = key;
        e.bounds = {lower, upper};
        e.generation = generation();
    }

    // Forgets every entry at once: entries of an earlier generation are never read.
    void clear() {
        if (++clears_ == UINT32_MAX) {  // the generation would wrap to 0: wipe for real instead
            entries_.fill(Entry{});
            clears_ = 0;
        }
    }

private:
    struct Entry {
        CapturePositionKey key{};
        CaptureBounds bounds{};
        std::uint32_t generation = 0;  // 0: never used
    };

    static std::uint32_t index_of(const CapturePositionKey& key) {
        std::uint64_t h = key.state;
        for (const std::uint64_t b : key.boards) h = (h ^ b) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
        return static_cast<std::uint32_t>(h >> (64 - INDEX_BITS));
    }

    // The generation entries are written in now: 1 after construction, never 0.
    std::uint32_t generation() const { return clears_ + 1; }

    // Every member starts as zero bytes, so that the 7 MB of a static table take no room in
    // the program file (a non-zero member would put the whole object in its data section).
    std::array<Entry, std::size_t{1} << INDEX_BITS> entries_{};
    std::uint32_t clears_ = 0;
};

}  // namespace quill
