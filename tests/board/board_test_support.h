// Helpers for the board and display tests: positions from short piece placements, boards
// from square lists and back, and the colour mirror that lets one table of cases run for
// White and, reflected across the middle of the board, for Black.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "board/types.h"
#include "support/test_support.h"

namespace quill::test {

// Calls `f` with every blank-separated word of `list`.
template <typename F>
void for_each_word(std::string_view list, F f) {
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && list[i] == ' ') ++i;
        std::size_t j = i;
        while (j < list.size() && list[j] != ' ') ++j;
        if (j > i) f(list.substr(i, j - i));
        i = j;
    }
}

// The board of the squares named in a list such as "a2 b1 h8" (empty list: empty board).
inline ByteBoard squares(std::string_view list) {
    ByteBoard b;
    for_each_word(list, [&](std::string_view sq) { b |= square_board(sq); });
    return b;
}

#define EXPECT_SQUARES(board, list)               \
    EXPECT_EQ(::quill::test::square_names(board), \
              ::quill::test::square_names(::quill::test::squares(list)))

// A BoardText from placements such as "Ra1 nb8 Pe2": a letter of PieceLetters and a square.
inline BoardText text_of(std::string_view placements) {
    BoardText t = make_board_text("");
    for_each_word(placements, [&](std::string_view p) {
        const int file = p[1] - 'a', rank = p[2] - '1';
        t[(7 - rank) * 8 + file] = p[0];
    });
    return t;
}

// A record whose piece boards hold the text's pieces and whose every other field is zero.
inline PositionRecord record_of_text(const BoardText& text) {
    PositionRecord r;
    board_text_to_maps(r, text);
    return r;
}

inline PositionRecord record_of(std::string_view placements) {
    return record_of_text(text_of(placements));
}

// The colour and kind a piece letter names.
inline Color letter_color(char letter) {
    return std::islower(static_cast<unsigned char>(letter)) ? BLACK : WHITE;
}
inline PieceKind letter_kind(char letter) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'n':
            return KNIGHT;
        case 'b':
            return BISHOP;
        case 'r':
            return ROOK;
        case 'q':
            return QUEEN;
        case 'k':
            return KING;
        default:
            return PAWN;
    }
}

// Reflection across the middle of the board: rank r becomes rank 9 - r, files stay.
inline std::string mirror_square(std::string_view sq) {
    std::string out(2, ' ');
    out[0] = sq[0];
    out[1] = char('1' + '8' - sq[1]);
    return out;
}

inline std::string mirror_squares(std::string_view list) {
    std::string out;
    for_each_word(list, [&](std::string_view sq) {
        if (!out.empty()) out += ' ';
        out.append(mirror_square(sq));
    });
    return out;
}

// Reflects every placement and swaps its colour: "Pe2 nd3" becomes "pe7 Nd6".
inline std::string mirror_placements(std::string_view placements) {
    std::string out;
    for_each_word(placements, [&](std::string_view p) {
        const auto c = static_cast<unsigned char>(p[0]);
        if (!out.empty()) out += ' ';
        out += char(std::islower(c) ? std::toupper(c) : std::tolower(c));
        out.append(mirror_square(p.substr(1)));
    });
    return out;
}

// Reverses the rank order of a board.
inline ByteBoard flip(ByteBoard b) {
    ByteBoard out;
    for (int rank = 0; rank < 8; ++rank) out.set_byte(7 - rank, b.byte(rank));
    return out;
}

// A case written from White's side, or its reflection when `colour` is Black.
inline std::string as_color(Color color, std::string_view placements) {
    return color == WHITE ? std::string(placements) : mirror_placements(placements);
}
inline std::string squares_as_color(Color color, std::string_view list) {
    return color == WHITE ? std::string(list) : mirror_squares(list);
}

// The targets board of the slot whose square board is exactly `square`; none if no slot is.
inline std::optional<ByteBoard> targets_of(const PositionRecord& r, Color c, PieceKind k,
                                           std::string_view square) {
    const ConstSlotView s = slots(r, c, k);
    for (int i = 0; i < s.size; i += 2)
        if (s[i] == square_board(square)) return s[i + 1];
    return std::nullopt;
}

// The two passes that fill a record's derived boards.
enum class PassKind { Attack, Generate };

inline void run_pass(PositionRecord& r, PassKind pass) {
    if (pass == PassKind::Attack)
        build_attack_maps(r);
    else
        generate_moves(r);
}

inline const char* pass_name(PassKind pass) {
    return pass == PassKind::Attack ? "Attack" : "Generate";
}
inline const char* color_name(Color c) { return c == WHITE ? "White" : "Black"; }

}  // namespace quill::test
