// Helpers for the move-making, iterator and perft tests: positions from FEN, moves named by
// the squares they empty and fill, the lists a maker or an iterator walks, and the colour
// mirror that lets one case run for White and, reflected, for Black.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_maps.h"
#include "support/position_setup.h"
#include "board/types.h"
#include "engine/constants.h"
#include "engine/iterators.h"
#include "engine/moves.h"
#include "support/moves_by_color.h"
#include "support/test_support.h"

namespace quill::test {

// The regenerated record and side to move of a FEN; a malformed FEN fails the test.
inline SetupPosition setup(std::string_view fen) {
    auto p = position_from_fen(fen);
    if (!p) {
        ADD_FAILURE() << "bad FEN: " << fen;
        return {};
    }
    return *p;
}

// The union of one colour's six piece boards (the occupancy boards go stale after a maker).
inline ByteBoard occupancy(const PositionRecord& r, Color c) {
    ByteBoard b;
    for (int k = 0; k < PIECE_KIND_NB; ++k) b |= piece_board(r, c, PieceKind(k));
    return b;
}

// Names the move side `c` made between two records as "e2e4": the square its pieces left and
// the one they reached. Castling moves two pieces and is named by the king; anything else
// that does not move exactly one piece is named "?" followed by the two square lists.
inline std::string move_name(const PositionRecord& before, const PositionRecord& after, Color c) {
    const ByteBoard was = occupancy(before, c), is = occupancy(after, c);
    const ByteBoard left = was & ~is, reached = is & ~was;
    const std::string from = square_names(left), to = square_names(reached);
    if (from.size() == 2 && to.size() == 2) return from + to;
    const ByteBoard king_before = piece_board(before, c, KING), king_after = piece_board(after, c, KING);
    if (king_before != king_after && square_names(king_before).size() == 2 && square_names(king_after).size() == 2)
        return square_names(king_before) + square_names(king_after);
    std::string odd = "?";
    odd.append(from).append("/").append(to);
    return odd;
}

// Runs the side's maker of the given list with ordinal n.
inline void make(PositionRecord& r, Color c, MoveList list, std::int32_t n) {
    if (list == MoveList::Full)
        c == WHITE ? make_white_move(r, n) : make_black_move(r, n);
    else
        c == WHITE ? make_white_capture(r, n) : make_black_capture(r, n);
}

// The candidates of a regenerated record in ordinal order: ordinal 1, 2, ... each made on a
// fresh copy until the maker reports ORDINAL_EXHAUSTED.
inline std::vector<std::string> ordinal_list(const PositionRecord& record, Color c, MoveList list = MoveList::Full) {
    std::vector<std::string> names;
    for (std::int32_t n = 1; n <= 1000; ++n) {
        PositionRecord copy = record;
        make(copy, c, list, n);
        if (move_ordinal(copy, c) == ORDINAL_EXHAUSTED) break;
        EXPECT_EQ(move_ordinal(copy, c), n);
        names.push_back(move_name(record, copy, c));
    }
    return names;
}

inline std::vector<std::string> ordinal_list(std::string_view fen, MoveList list = MoveList::Full) {
    const SetupPosition p = setup(fen);
    return ordinal_list(p.record, p.side_to_move, list);
}

// Which iterator a walk uses.
enum class Walk { Plain, Legal, Captures };

inline int next_move(PositionRecord& r, Color c, Walk walk) {
    switch (walk) {
        case Walk::Plain: return c == WHITE ? make_next_white_move(r) : make_next_black_move(r);
        case Walk::Legal: return c == WHITE ? make_next_legal_white_move(r) : make_next_legal_black_move(r);
        default: return c == WHITE ? make_next_white_capture(r) : make_next_black_capture(r);
    }
}

// The moves an iterator makes from a position, walked as the search walks them: after each
// move the core of the position is copied back and regenerated, the ordinal kept.
inline std::vector<std::string> iterator_list(const PositionRecord& position, Color c, Walk walk) {
    std::vector<std::string> names;
    PositionRecord node = position;
    node.white_move_ordinal = node.black_move_ordinal = 0;
    generate_moves(node);
    while (next_move(node, c, walk) == 0 && names.size() < 1000) {
        names.push_back(move_name(position, node, c));
        copy_position_core(position, node);
        generate_moves(node);
    }
    return names;
}

// Reflection across the middle of the board with the colours swapped: the same position seen
// from the other side, so every count and every rule applies to it unchanged.
inline std::string mirror_fen(std::string_view fen) {
    std::vector<std::string> fields;
    std::string word;
    for (char ch : fen) {
        if (ch == ' ') {
            if (!word.empty()) fields.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    if (!word.empty()) fields.push_back(word);
    auto swap_case = [](std::string s) {
        for (char& ch : s) {
            const auto u = static_cast<unsigned char>(ch);
            ch = static_cast<char>(std::islower(u) ? std::toupper(u) : std::tolower(u));
        }
        return s;
    };
    std::string placement, rank;
    for (char ch : fields.at(0) + "/") {
        if (ch != '/') {
            rank += ch;
            continue;
        }
        std::string reflected = swap_case(rank);
        if (!placement.empty()) reflected += '/';
        placement = reflected.append(placement);
        rank.clear();
    }
    std::string out = placement + (fields.size() > 1 && fields[1] == "b" ? " w" : " b");
    if (fields.size() > 2) out.append(" ").append(fields[2] == "-" ? fields[2] : swap_case(fields[2]));
    if (fields.size() > 3)
        out.append(" ").append(fields[3] == "-" ? fields[3] : std::string{fields[3][0], char('1' + '8' - fields[3][1])});
    return out;
}

// Reflects the ranks of move names: "e2e4" becomes "e7e5".
inline std::string mirror_move(std::string m) {
    for (std::size_t i = 1; i < m.size(); i += 2) m[i] = char('1' + '8' - m[i]);
    return m;
}
inline std::vector<std::string> mirror_moves(std::vector<std::string> moves) {
    for (std::string& m : moves) m = mirror_move(m);
    return moves;
}

// A FEN written from White's side, or its reflection for Black.
inline std::string as_color(Color c, std::string_view fen) { return c == WHITE ? std::string(fen) : mirror_fen(fen); }
inline std::string move_as_color(Color c, std::string m) { return c == WHITE ? m : mirror_move(m); }

// Makes the candidate named `name` (e.g. "e2e4") for side c on a regenerated record and
// regenerates it; fails the test when there is no such candidate. Returns its ordinal.
inline std::int32_t play(PositionRecord& r, Color c, std::string_view name) {
    const std::vector<std::string> names = ordinal_list(r, c);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) {
            const auto n = static_cast<std::int32_t>(i + 1);
            make(r, c, MoveList::Full, n);
            generate_moves(r);
            return n;
        }
    ADD_FAILURE() << "no candidate " << name;
    return 0;
}

inline const char* color_name(Color c) { return c == WHITE ? "White" : "Black"; }

// Piece boards and castling states of two records are equal (the position core without the
// pass counters and the move-made flag).
inline bool same_boards(const PositionRecord& a, const PositionRecord& b) {
    for (Color c : {WHITE, BLACK})
        for (int k = 0; k < PIECE_KIND_NB; ++k)
            if (piece_board(a, c, PieceKind(k)) != piece_board(b, c, PieceKind(k))) return false;
    return a.white_castling == b.white_castling && a.black_castling == b.black_castling;
}

}  // namespace quill::test
