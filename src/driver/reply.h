// The engine's reply to a move: the book of its colour, else the search with its fallbacks,
// then the move line; and the move checker's answer and the game-over verdicts. A program
// includes this where it instantiates the search of its own profile.
#pragma once

#include <cstdint>
#include <ostream>

#include "board/types.h"
#include "book/book_reader.h"
#include "engine/build_profile.h"
#include "engine/constants.h"
#include "engine/search_impl.h"

namespace quill {

// Looks the position up in the engine's book. On a hit the answer stands on the board,
// regenerated, with the castling rights and en-passant chances its change from `before` (the
// same position, regenerated) leaves; returns whether the book answered. Either way both move
// ordinals are 0 afterwards.
bool book_reply(const PositionRecord& before, PositionRecord& game, Color engine, BookReader& book);

// Replaces a rejected choice of the search by the engine's first legal move from `base`, the
// position the search chose from. Returns false when the engine has no legal move.
bool play_first_legal_move(const PositionRecord& base, Color engine, PositionRecord& game);

// Whether `side` has a legal move in `position`, a regenerated record.
bool has_legal_move(const PositionRecord& position, Color side);

// Prints "move" and the squares of the engine's move, read from its occupancy before the
// reply and in `after` (castling as the king's move), when its pieces moved at all.
void announce_move(const BoardText& before_text, ByteBoard before_occupancy, const PositionRecord& after,
                   Color engine, std::ostream& out);

// The move checker's answer to an accepted line: "ok", once the position is regenerated.
// Returns whether `next`, the side judged next, has a legal move.
bool judge_accepted(PositionRecord& game, Color next, std::ostream& out);

// The verdict once a side has no legal move, on a regenerated record: the side in check has
// lost, else it is a draw. The move checker ends the verdict with a newline and flushes.
void print_verdict(const PositionRecord& game, bool move_checker, std::ostream& out);

// The engine's move when the book is silent: the search's choice, replaced by the first
// legal move when it moves nothing or leaves the engine's king attacked. `game` is current.
template <const BuildProfile& P>
void search_reply(SearchContext<P>& context, PositionRecord& game, Color engine, SearchOutputs& search) {
    // Step 1. Search from the position as it stands.
    const PositionRecord base = game;
    BoardText before_choice;
    maps_to_board_text(base, before_choice);
    search_root<P>(context, ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, game, engine, search, 0);

    // Step 2. Play the choice on the position the search started from.
    std::int32_t choice = 0;
    if (search.best_ordinal != NO_MOVE) choice = search.choice_flag ? search.best_ordinal : search.second_ordinal;
    game = base;
    make_side_move(game, engine, choice);
    expire_en_passant(game, engine);
    generate_moves(game);

    // Step 3. A choice that moved nothing is excluded from the next search; a choice that
    // leaves the king attacked is no move either. The first legal move replaces both.
    search.excluded_ordinal = EXCLUDE_NOTHING;
    BoardText after_choice;
    maps_to_board_text(game, after_choice);
    if (after_choice == before_choice) {
        search.excluded_ordinal = choice;
        if (!play_first_legal_move(base, engine, game)) search.best_ordinal = NO_MOVE;
    }
    if (piece_board(game, engine, KING).intersects(attacks(game, ~engine)))
        if (!play_first_legal_move(base, engine, game)) search.best_ordinal = NO_MOVE;
    game.white_move_ordinal = game.black_move_ordinal = 0;
    search.root_flag = 0;
}

// The engine's reply: the book of its colour, else the search; then the move line. Counts
// the engine's moves for the "go" word (one per book consultation, one more per search).
template <const BuildProfile& P>
void engine_reply(SearchContext<P>& context, PositionRecord& game, Color engine, std::int32_t& engine_move_count,
                  SearchOutputs& search, BookReader& book, std::ostream& out) {
    // Step 1. The position before the reply, regenerated: the user's move (or the game's
    // start, whose maps came from the attack pass) has left its derived boards stale.
    generate_moves(game);
    const PositionRecord before = game;
    BoardText before_text;
    maps_to_board_text(before, before_text);
    search.root_flag = search.best_ordinal = search.second_ordinal = 0;

    // Step 2. The book, else the search.
    const bool from_book = book_reply(before, game, engine, book);
    ++engine_move_count;
    search.root_flag = 0;
    if (!from_book) {
        search_reply<P>(context, game, engine, search);
        ++engine_move_count;
    }

    // Step 3. The builds that announce the end of a game ask whether the engine can still move.
    if constexpr (P.game_loop == GameLoopKind::Announcing) {
        if (!has_legal_move(game, engine)) search.best_ordinal = NO_MOVE;
    }

    // Step 4. The move line.
    announce_move(before_text, pieces(before, engine), game, engine, out);
}

}  // namespace quill
