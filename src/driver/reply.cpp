#include "driver/reply.h"

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "book/answer_rights.h"
#include "book/book_lookup.h"
#include "driver/move_text.h"
#include "engine/iterators.h"
#include "engine/moves.h"

namespace quill {

bool book_reply(const PositionRecord& before, PositionRecord& game, Color engine, BookReader& book) {
    int found = 1;
    book_lookup(game, found, book);
    game.white_move_ordinal = game.black_move_ordinal = 0;
    if (!found) return false;
    // The answer replaced the piece boards. A book answer is a move of the game: castling
    // rights and en passant follow from what it changed.
    generate_moves(game);
    adopt_answer_rights(before, game, engine);
    return true;
}

bool play_first_legal_move(const PositionRecord& base, Color engine, PositionRecord& game) {
    game = base;
    const bool moved = make_next_legal_move(game, engine) == 0;
    expire_en_passant(game, engine);
    // The one regeneration the iterator does not always leave done: past the hundredth
    // candidate it gives up with that candidate made and the maps stale.
    generate_moves(game);
    return moved;
}

bool has_legal_move(const PositionRecord& position, Color side) {
    PositionRecord trial = position;
    return make_next_legal_move(trial, side) == 0;
}

void announce_move(const BoardText& before_text, ByteBoard before_occupancy, const PositionRecord& after,
                   Color engine, std::ostream& out) {
    BoardText after_text;
    maps_to_board_text(after, after_text);
    MoveText text{};
    if (derive_move_text(before_text, after_text, before_occupancy, pieces(after, engine), text)) {
        out << "move " << text[0] << text[1] << text[2] << text[3] << '\n';
        out.flush();
    }
}

bool judge_accepted(PositionRecord& game, Color next, std::ostream& out) {
    generate_moves(game);
    game.white_move_ordinal = game.black_move_ordinal = 0;
    const bool can_move = has_legal_move(game, next);
    out << "ok\n";
    out.flush();
    return can_move;
}

void print_verdict(const PositionRecord& game, bool move_checker, std::ostream& out) {
    bool printed = false;
    const auto say = [&](const char* checker_text, const char* engine_text) {
        out << (move_checker ? checker_text : engine_text);
        if (move_checker) out.flush();
        printed = true;
    };
    if (game.white_attacks.intersects(game.black_king)) say("1-O\n", "1-O.");
    if (game.black_attacks.intersects(game.white_king)) say("O-1\n", "O-1.");
    if (!printed) say("DRAW\n", "DRAW");
}

}  // namespace quill
