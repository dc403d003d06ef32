#include "driver/typed_move.h"

#include "board/attack_maps.h"
#include "engine/iterators.h"

namespace quill {

namespace {

// The mask of a file letter in either case; 0 for any other character.
std::uint8_t file_mask_of(char c) {
    if (c >= 'a' && c <= 'h') return file_mask(c - 'a');
    if (c >= 'A' && c <= 'H') return file_mask(c - 'A');
    return 0;
}

bool is_rank_digit(char c) { return c >= '1' && c <= '8'; }

bool holds(ByteBoard b, int rank, std::uint8_t file) { return b.byte(rank) & file; }

}  // namespace

ParsedSquares parse_typed_move(std::string_view word) {
    const auto at = [&](std::size_t i) { return i < word.size() ? word[i] : '\0'; };
    ParsedSquares sq;
    if (!(sq.from_file = file_mask_of(at(0)))) return sq;
    if (!is_rank_digit(at(1))) return sq;
    sq.from_rank = at(1) - '1';
    if (!(sq.to_file = file_mask_of(at(2)))) return sq;
    if (!is_rank_digit(at(3))) return sq;
    sq.to_rank = at(3) - '1';
    return sq;
}

std::int32_t match_typed_move(const PositionRecord& position, Color user, const ParsedSquares& sq) {
    if (!sq.complete()) return 0;
    PositionRecord trial = position;
    generate_moves(trial);
    const ByteBoard own = pieces(trial, user);
    if (!holds(own, sq.from_rank, sq.from_file) || holds(own, sq.to_rank, sq.to_file)) return 0;

    // Each legal move is made on the trial record, which then goes back to the position
    // before it with the move's ordinal kept, so the next call makes the move after it.
    std::int32_t matched = 0;
    for (;;) {
        const PositionRecord before = trial;
        if (make_next_legal_move(trial, user)) return matched;
        const std::int32_t ordinal = move_ordinal(trial, user);
        const ByteBoard now = pieces(trial, user);
        if (!holds(now, sq.from_rank, sq.from_file) && holds(now, sq.to_rank, sq.to_file)) matched = ordinal;
        trial = before;
        move_ordinal(trial, user) = ordinal;
    }
}

}  // namespace quill
