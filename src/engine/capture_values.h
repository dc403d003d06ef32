// A table of proven capture-search values. The capture search's score of a position is the
// minimax value of its captures-only tree clipped to the window, and that value depends on
// nothing but the piece boards, the two castling states and the side to move; so a bound once
// proven for a position holds for good, in this search and every later one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "board/types.h"

namespace quill {

// Everything the value of a capture position depends on, compared in full on every probe so
// that two positions never share an entry by accident.
struct CapturePositionKey {
    std::array<std::uint64_t, 2 * PIECE_KIND_NB> boards;
    std::uint64_t state;  // both castling states and the side to move

    // Every word compared, without branching on each: inlined, cheaper than a library call.
    friend bool operator==(const CapturePositionKey& a, const CapturePositionKey& b) {
        std::uint64_t differ = a.state ^ b.state;
        for (std::size_t i = 0; i < a.boards.size(); ++i) differ |= a.boards[i] ^ b.boards[i];
        return differ == 0;
    }
};

// What is known of one position: lower <= value <= upper, and the capture that proved the
// lower bound (0 when none did), to be tried first the next time.
struct CaptureBounds {
    std::int32_t lower;
    std::int32_t upper;
    std::uint16_t best;
};

// A table of bounds on capture-search values, in buckets of two entries: a position found in
// its bucket has its entry updated; a new one takes the place of an entry left by an earlier
// search, or else of the one whose value took fewer nodes to find, so that the entries that
// save the most work stay longest. The table is one block allocated with the search context
// and never grows, so nothing is allocated while searching; each build's form of the search
// keeps a table of its own.
class CaptureValueTable {
public:
    // 8,192 buckets of two entries, 2 MB. Most of what the table saves is found again within
    // one leaf's capture search, and a table that stays in the processor's caches answers
    // faster than a larger one saves: measured over the heavy bench suite, 2^16 buckets
    // (16 MB) visit 4 % fewer nodes and take a third more time.
    static constexpr int INDEX_BITS = 13;  // buckets
    static constexpr int WAYS = 2;         // entries per bucket

    // The key of a position. The castling bits that say whether castling is possible right
    // now are left out: the search works them out afresh from the rights and the boards before
    // it lists a side's moves, so the value does not depend on them, and without them the key
    // can be taken before the node's maps are built.
    static CapturePositionKey key_of(const PositionRecord& r, Color side_to_move) {
        CapturePositionKey key{};
        int i = 0;
        for (Color c : {WHITE, BLACK})
            for (int k = 0; k < PIECE_KIND_NB; ++k) key.boards[i++] = piece_board(r, c, PieceKind(k)).bits;
        constexpr std::uint8_t DERIVED = CASTLE_SHORT_NOW | CASTLE_LONG_NOW;
        std::uint64_t state = 0;
        for (const CastlingState& cs : {r.white_castling, r.black_castling})
            for (int b = 0; b < 3; ++b)
                state = state << 8 | (b == CASTLE_FLAGS_BYTE ? cs[b] & ~DERIVED : cs[b]);
        key.state = state << 1 | (side_to_move == WHITE ? 1 : 0);
        return key;
    }

    // Asks the memory for the key's bucket ahead of its use: the table is far larger than
    // the caches, and a node has its evaluation to do in the meantime.
    void prefetch(const CapturePositionKey& key) const {
#if defined(__GNUC__)
        const char* bucket = reinterpret_cast<const char*>(&buckets_[index_of(key)]);
        for (std::size_t line = 0; line < sizeof(Bucket); line += CACHE_LINE) __builtin_prefetch(bucket + line);
#else
        (void)key;
#endif
    }

    // The bounds known for the position, or nothing.
    const CaptureBounds* find(const CapturePositionKey& key) const {
        for (const Entry& e : buckets_[index_of(key)].entries)
            if (e.generation == generation() && e.key == key) return &e.bounds;
        return nullptr;
    }

    // Adds what a search has just proven, with the capture that proved the lower bound (0 if
    // none) and the nodes it took; bounds already known for the same position are kept where
    // they are tighter, the lower one with its capture.
    void record(const CapturePositionKey& key, std::int32_t lower, std::int32_t upper, std::uint16_t best = 0,
                std::uint64_t nodes = 0) {
        Bucket& bucket = buckets_[index_of(key)];
        std::uint16_t work = nodes > UINT16_MAX ? UINT16_MAX : static_cast<std::uint16_t>(nodes);
        Entry* slot = nullptr;
        for (Entry& e : bucket.entries)
            if (e.generation == generation() && e.key == key) slot = &e;
        if (slot) {
            // The best capture goes with the lower bound it proved.
            if (slot->bounds.lower > lower || (slot->bounds.lower == lower && best == 0)) {
                lower = slot->bounds.lower;
                best = slot->bounds.best;
            }
            if (slot->bounds.upper < upper) upper = slot->bounds.upper;
            if (slot->work > work) work = slot->work;
        } else {
            slot = &bucket.entries[0];
            for (Entry& e : bucket.entries)
                if (replace_first(e, *slot)) slot = &e;
        }
        *slot = {key, {lower, upper, best}, work, search_, generation()};
    }

    // Marks the start of a new search: the entries written so far become an earlier search's,
    // first to make room, though they stay as valid as ever.
    void start_search() { ++search_; }

    // Forgets every entry at once: entries of an earlier generation are never read.
    void clear() {
        if (++clears_ == UINT16_MAX) {  // the generation would wrap to 0: wipe for real instead
            buckets_.fill(Bucket{});
            clears_ = 0;
        }
    }

    // The bucket of a key, for tests that fill one.
    static std::uint32_t index_of(const CapturePositionKey& key) {
        std::uint64_t h = key.state;
        for (const std::uint64_t b : key.boards) h = (h ^ b) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
        return static_cast<std::uint32_t>(h >> (64 - INDEX_BITS));
    }

private:
    static constexpr std::size_t CACHE_LINE = 64;

    struct Entry {
        CapturePositionKey key{};
        CaptureBounds bounds{};
        std::uint16_t work = 0;        // nodes the value took, at most UINT16_MAX
        std::uint16_t search = 0;      // the search that wrote it, counted modulo 2^16
        std::uint16_t generation = 0;  // 0: never used
    };
    struct alignas(CACHE_LINE) Bucket {
        std::array<Entry, WAYS> entries{};
    };

    // Whether entry `e` should make room before `than`: an unused or forgotten entry first,
    // then one from an earlier search, then the one that took fewer nodes.
    bool replace_first(const Entry& e, const Entry& than) const {
        const auto rank = [&](const Entry& x) {
            if (x.generation != generation()) return 0;
            return x.search != search_ ? 1 : 2;
        };
        if (rank(e) != rank(than)) return rank(e) < rank(than);
        return e.work < than.work;
    }

    // The generation entries are written in now: 1 after construction, never 0.
    std::uint16_t generation() const { return static_cast<std::uint16_t>(clears_ + 1); }

    // Every member starts as zero bytes, so that a static table takes no room in the program
    // file (a non-zero member would put the whole object in its data section).
    std::array<Bucket, std::size_t{1} << INDEX_BITS> buckets_{};
    std::uint16_t clears_ = 0;
    std::uint16_t search_ = 0;
};

}  // namespace quill
