// Book entries read as moves: which legal move of a colour, if any, takes a key to its
// answer, and how the engine would announce the change.
#pragma once

#include <optional>
#include <string>

#include "board/types.h"
#include "bookmaker/book_records.h"
#include "notation/legal_moves.h"

namespace quill {

// The legal move that takes the key to the answer, with the position it was made in and the
// position after it.
struct AnswerMove {
    GamePosition from;
    LegalMove move;
    GamePosition after;
};

// Looks for one legal move of `colour` from the key that leaves exactly the answer. A key
// holds no castling rights or en-passant chance, so castling counts wherever king and rook
// stand at home, and en passant wherever an enemy pawn beside one of the colour's pawns may
// just have made its double step. `from`, when given, is the position to try first (one
// reached in a game, with its real rights).
std::optional<AnswerMove> find_answer_move(const BoardText& key, const BoardText& answer, Color color,
                                           const GamePosition* from = nullptr);

// The move the engine announces for `colour` going from `before` to `after`: the squares
// vacated and filled by that colour's pieces, castling as the king's move; empty when no move
// can be read.
std::string announced_move(const BoardText& before, const BoardText& after, Color color);

// Whether the pieces of `colour` stand differently in the two texts.
bool moves_pieces_of(const BoardText& before, const BoardText& after, Color color);

// Whether a piece of `colour` stands in `after` on a square where it did not stand in
// `before`: more than a capture can do to that colour.
bool places_pieces_of(const BoardText& before, const BoardText& after, Color color);

const char* color_name(Color c);

// The colour whose pieces most answers of a book's in-step entries move (White on a tie).
Color colour_of_answers(const BookRecords& book);

}  // namespace quill
