// One game and the run of games: command words, typed moves, the engine's reply or (by build)
// the move checker's judgement, and the game-over verdict.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "board/start_position.h"
#include "board/types.h"
#include "book/book_reader.h"
#include "driver/display.h"
#include "driver/line_reader.h"
#include "driver/reply.h"
#include "driver/typed_move.h"
#include "engine/build_profile.h"
#include "engine/constants.h"
#include "engine/moves.h"
#include "engine/search.h"

namespace quill {

// The command loop's status words; only the stop word has a meaning.
inline constexpr int GAME_STATUS_WORDS = 40;
inline constexpr int STOP_WORD = 7;
inline constexpr std::int32_t STOP_REQUESTED = 5;
using GameStatus = std::array<std::int32_t, GAME_STATUS_WORDS>;

// Copies every game map into the game's own record; no move has been made in it yet.
inline void pack_position(PositionRecord& record, const GameMaps& maps) {
    record = maps;
    record.move_made_flag = 0;
    record.white_move_ordinal = record.black_move_ordinal = 0;
}

// The colour played by the engine: engine_side, as the command words set it, is 0 when the
// engine plays Black and 1 when it plays White.
constexpr Color engine_color(int engine_side) { return engine_side == 1 ? WHITE : BLACK; }

// Plays one game from the game maps until "new", "menu" or "quit" (or end of input, which
// counts as "quit"). The engine plays Black unless engine_side is 1; only the command words
// change engine_side, and everything below them works with the colour it names.
template <const BuildProfile& P>
void game_loop(SearchContext<P>& context, const GameMaps& maps, GameStatus& game_status, int engine_side,
               BookReader& black_book, BookReader& white_book, std::istream& in, std::ostream& out) {
    constexpr GameLoopKind KIND = P.game_loop;
    constexpr std::string_view GO_WORD = KIND == GameLoopKind::MoveChecking ? "vgo" : "go";

    PositionRecord game;
    pack_position(game, maps);
    std::int32_t engine_move_count = 0;
    SearchOutputs search;  // best_ordinal also tells the verdict that a side cannot move

    std::string line;
    line.reserve(MAX_LINE_LENGTH + 1);
    for (;;) {
        // Step 1. Read a line and take its first word; blank lines are skipped.
        if (!read_line(in, line)) {
            game_status[STOP_WORD] = STOP_REQUESTED;
            return;
        }
        const std::string word = first_word(line);
        if (word.empty()) continue;

        // Step 2. Command words. The engine takes White with "white2", "black2", or "go"
        // before it has moved; the move checker never replies, so its "vgo" always counts.
        if (word == "menu" || word == "new") return;
        if (word == "quit") {
            game_status[STOP_WORD] = STOP_REQUESTED;
            return;
        }
        bool reply = false;
        if (word == "white2" || word == "black2" ||
            (word == GO_WORD && (KIND == GameLoopKind::MoveChecking || (engine_move_count == 0 && engine_side == 0)))) {
            engine_side = 1;
            reply = true;
        }
        const Color engine = engine_color(engine_side), user = ~engine;

        // Step 3. The board, on request.
        if (word.starts_with("ii")) {
            BoardText text;
            show_board(out, game, text);
            out << '\n';
        }

        // Step 4. Any other word may be a typed move of the user's side. Making ordinal 0
        // moves nothing; a move made takes the mover's en-passant chance away.
        std::int32_t matched = 0;
        if (!reply) {
            matched = match_typed_move(game, user, parse_typed_move(word));
            reply = matched != 0;
        }
        make_side_move(game, user, matched);
        if (matched > 0) expire_en_passant(game, user);

        // Step 5. The engine replies, or the move checker judges the line.
        if constexpr (KIND == GameLoopKind::MoveChecking) {
            if (!reply) {
                out << "bad\n";
                out.flush();
            } else {
                search.best_ordinal = judge_accepted(game, engine, out) ? 0 : NO_MOVE;
                engine_side = 1 - engine_side;
            }
        } else if (reply) {
            engine_reply<P>(context, game, engine, engine_move_count, search, engine == WHITE ? white_book : black_book,
                            out);
        }

        // Step 6. Once a side has been found without a legal move, the verdict, after every
        // line of the game that gets this far. Every pass that moves a piece ends with the
        // record regenerated, so its attack maps are current here.
        if constexpr (KIND != GameLoopKind::Standard) {
            if (search.best_ordinal == NO_MOVE) print_verdict(game, KIND == GameLoopKind::MoveChecking, out);
        }
    }
}

// Reads games until "quit" or end of input, each from the start position with the engine
// as Black; both books stay open for the whole run.
template <const BuildProfile& P>
void command_loop(SearchContext<P>& context, GameStatus& game_status, std::istream& in, std::ostream& out) {
    BookReader black_book("bbook.vbk");
    BookReader white_book("wbook.vbk");
    // A game plays on its own record; the maps it starts from never change.
    const GameMaps start = start_position();
    while (game_status[STOP_WORD] != STOP_REQUESTED) {
        game_status.fill(0);
        game_loop<P>(context, start, game_status, 0, black_book, white_book, in, out);
    }
    black_book.close();
    white_book.close();
}

}  // namespace quill
