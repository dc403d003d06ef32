// One game: command words, typed moves, the engine's reply from the book or the search, and
// (by build) the game-over verdict or the move checker's judgement. A program includes this
// header where it instantiates the loop for its own profile.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "book/answer_rights.h"
#include "book/book_lookup.h"
#include "builds/profile.h"
#include "driver/display.h"
#include "driver/line_reader.h"
#include "driver/move_text.h"
#include "driver/snapshot.h"
#include "engine/constants.h"
#include "engine/iterators.h"
#include "engine/search.h"

namespace quill {

// The command loop's status words; only the stop word has a meaning.
inline constexpr int GAME_STATUS_WORDS = 40;
inline constexpr int STOP_WORD = 7;
inline constexpr std::int32_t STOP_REQUESTED = 5;
using GameStatus = std::array<std::int32_t, GAME_STATUS_WORDS>;

// The state of the current line; 6 means a move was accepted and the engine replies.
enum InputState : int {
    READING = 0,
    FROM_FILE = 1,
    FROM_RANK = 2,
    TO_FILE = 3,
    TO_RANK = 4,
    PLAUSIBLE = 5,
    REPLY = 6,
};

// A typed move's squares: file masks and rank indexes (10 stands for no rank).
struct ParsedSquares {
    static constexpr int NO_RANK = 10;
    std::uint8_t from_file = 0, to_file = 0;
    int from_rank = NO_RANK, to_rank = NO_RANK;
};

namespace game_detail {

inline std::uint8_t file_mask_of(char c) {
    if (c >= 'a' && c <= 'h') return static_cast<std::uint8_t>(0x80 >> (c - 'a'));
    if (c >= 'A' && c <= 'H') return static_cast<std::uint8_t>(0x80 >> (c - 'A'));
    return 0;
}
inline bool is_rank_digit(char c) { return c >= '1' && c <= '8'; }

// Parses the first four characters of the word; each step only when the one before
// succeeded. Returns the state reached (0 to 4).
inline int parse_typed_move(const std::string& word, ParsedSquares& sq) {
    const auto at = [&](std::size_t i) { return i < word.size() ? word[i] : '\0'; };
    if (!(sq.from_file = file_mask_of(at(0)))) return READING;
    if (!is_rank_digit(at(1))) return FROM_FILE;
    sq.from_rank = at(1) - '1';
    if (!(sq.to_file = file_mask_of(at(2)))) return FROM_RANK;
    if (!is_rank_digit(at(3))) return TO_FILE;
    sq.to_rank = at(3) - '1';
    return TO_RANK;
}

inline bool holds(const ByteBoard& b, int rank, std::uint8_t file) { return b.byte(rank) & file; }

}  // namespace game_detail

// Everything one game_loop call owns.
struct GameState {
    PositionRecord game_record, trial_record, before_record;
    SnapshotStack snapshot_stack;
    int engine_side = 0;
    int input_state = READING;
    std::int32_t engine_move_count = 0;
    SearchOutputs search;  // best/second ordinal, choice and root flags, excluded ordinal
    BoardText before_reply_text{}, before_choice_text{}, after_reply_text{};
    ParsedSquares squares;
    std::int32_t matched_ordinal = 0;
};

// Matches the parsed squares against the legal moves of the user's side in ordinal order;
// the last move that empties the from-square and fills the to-square wins.
inline void match_typed_move(GameState& g) {
    using namespace game_detail;
    const Color user = g.engine_side == 0 ? WHITE : BLACK;
    const ByteBoard& own = pieces(g.trial_record, user);
    const ParsedSquares& sq = g.squares;
    if (!holds(own, sq.from_rank, sq.from_file) || holds(own, sq.to_rank, sq.to_file)) return;
    g.input_state = PLAUSIBLE;
    for (;;) {
        save_snapshot(g.snapshot_stack, MATCH_SLOT, g.trial_record);
        if (make_next_legal_move(g.trial_record, user)) return;
        const std::int32_t ordinal = move_ordinal(g.trial_record, user);
        const ByteBoard& now = pieces(g.trial_record, user);
        if (!holds(now, sq.from_rank, sq.from_file) && holds(now, sq.to_rank, sq.to_file)) {
            g.matched_ordinal = ordinal;
            g.input_state = REPLY;
        }
        restore_snapshot(g.snapshot_stack, MATCH_SLOT, g.trial_record);
        move_ordinal(g.trial_record, user) = ordinal;
    }
}

// Tries the first legal move of `side` on a copy; true when there is none.
inline bool has_no_legal_move(GameState& g, Color side) {
    save_snapshot(g.snapshot_stack, CHOICE_SLOT, g.game_record);
    const bool none = make_next_legal_move(g.game_record, side) != 0;
    restore_snapshot(g.snapshot_stack, CHOICE_SLOT, g.game_record);
    return none;
}

inline void zero_move_ordinals(PositionRecord& r) { r.white_move_ordinal = r.black_move_ordinal = 0; }

// The engine's move when the book is silent: the search's choice, replaced by the first
// legal move when it moves nothing or leaves the engine's king attacked.
template <const BuildProfile& P>
void search_reply(GameState& g, BoardText& board_text) {
    const Color engine = engine_color(g.engine_side);
    PositionRecord& game = g.game_record;
    generate_moves(game);
    save_snapshot(g.snapshot_stack, CHOICE_SLOT, game);
    g.before_choice_text = board_text;
    search_root<P>(ROOT_DEPTH, -ROOT_WINDOW, ROOT_WINDOW, game, g.engine_side, g.search, 0);

    std::int32_t choice = 0;
    if (g.search.best_ordinal != NO_MOVE) choice = g.search.choice_flag ? g.search.best_ordinal : g.search.second_ordinal;
    restore_snapshot(g.snapshot_stack, CHOICE_SLOT, game);
    make_side_move(game, engine, choice);
    castling(game, engine)[EN_PASSANT_BYTE] = 0;

    const auto play_first_legal_move = [&] {
        restore_snapshot(g.snapshot_stack, CHOICE_SLOT, game);
        if (make_next_legal_move(game, engine)) g.search.best_ordinal = NO_MOVE;
        castling(game, engine)[EN_PASSANT_BYTE] = 0;
    };
    generate_moves(game);
    g.search.excluded_ordinal = EXCLUDE_NOTHING;
    maps_to_board_text(game, board_text);
    if (board_text == g.before_choice_text) {
        // The choice moved nothing: exclude it from the next search.
        g.search.excluded_ordinal = choice;
        play_first_legal_move();
    }
    generate_moves(game);
    if (piece_board(game, engine, KING).intersects(attacks(game, ~engine))) play_first_legal_move();

    generate_moves(game);
    maps_to_board_text(game, board_text);
    ++g.engine_move_count;
    zero_move_ordinals(game);
    g.search.root_flag = 0;
    generate_moves(game);
}

// The engine's reply: the book of its colour, else the search; then the move line.
template <const BuildProfile& P>
void engine_reply(GameState& g, BoardText& board_text, BookFile& black_book, BookFile& white_book,
                  std::ostream& out) {
    const Color engine = engine_color(g.engine_side);
    PositionRecord& game = g.game_record;
    generate_moves(game);
    maps_to_board_text(game, board_text);
    g.search.root_flag = g.search.best_ordinal = g.search.second_ordinal = 0;
    g.before_reply_text = board_text;
    generate_moves(game);
    save_snapshot(g.snapshot_stack, BEFORE_REPLY_SLOT, game);

    int found = 1;
    for (const int side : {1, 0}) {
        if (g.engine_side != side || !found) continue;
        generate_moves(game);
        book_lookup(game, found, side == 1 ? white_book : black_book);
        ++g.engine_move_count;
        zero_move_ordinals(game);
        g.search.root_flag = 0;
        generate_moves(game);
        // A book answer is a move of the game: castling rights and en passant follow from it.
        if (found) adopt_answer_rights(g.snapshot_stack.at(BEFORE_REPLY_SLOT), game, engine);
    }
    if (!found) search_reply<P>(g, board_text);

    generate_moves(game);
    zero_move_ordinals(game);
    save_snapshot(g.snapshot_stack, CHOICE_SLOT, game);
    if constexpr (P.game_loop == GameLoopKind::Announcing) {
        if (has_no_legal_move(g, engine)) g.search.best_ordinal = NO_MOVE;
    }

    // The move line, read from the engine side's occupancy before and after the reply.
    maps_to_board_text(game, g.after_reply_text);
    board_text = g.after_reply_text;
    restore_snapshot(g.snapshot_stack, BEFORE_REPLY_SLOT, g.before_record);
    generate_moves(g.before_record);
    generate_moves(game);
    MoveText text{};
    if (derive_move_text(g.before_reply_text, g.after_reply_text, pieces(g.before_record, engine),
                         pieces(game, engine), text)) {
        out << "move " << text[0] << text[1] << text[2] << text[3] << '\n';
        out.flush();
    }
}

// The move checker's answer to an accepted move (or "white2", "black2", "vgo"): "ok", and
// the side to judge next. A side left without a legal move ends the game.
inline void judge_accepted(GameState& g, BoardText& board_text, std::ostream& out) {
    PositionRecord& game = g.game_record;
    g.search.best_ordinal = 0;
    generate_moves(game);
    save_snapshot(g.snapshot_stack, BEFORE_REPLY_SLOT, game);
    zero_move_ordinals(game);
    save_snapshot(g.snapshot_stack, CHOICE_SLOT, game);
    const Color next = g.engine_side == 0 ? BLACK : WHITE;
    if (has_no_legal_move(g, next)) g.search.best_ordinal = NO_MOVE;
    maps_to_board_text(game, board_text);
    out << "ok\n";
    out.flush();
    g.engine_side = 1 - g.engine_side;
}

// The verdict once a side has no legal move: who is in check loses, else a draw.
template <const BuildProfile& P>
void print_verdict(PositionRecord& game, std::ostream& out) {
    constexpr bool checker = P.game_loop == GameLoopKind::MoveChecking;
    generate_moves(game);
    bool printed = false;
    if (game.white_attacks.intersects(game.black_king)) {
        out << (checker ? "1-O\n" : "1-O.");
        if (checker) out.flush();
        printed = true;
    }
    if (game.black_attacks.intersects(game.white_king)) {
        out << (checker ? "O-1\n" : "O-1.");
        if (checker) out.flush();
        printed = true;
    }
    if (!printed) {
        out << (checker ? "DRAW\n" : "DRAW");
        if (checker) out.flush();
    }
}

// Plays one game from the game maps until "new", "menu" or "quit" (or end of input, which
// counts as "quit"). The engine plays Black unless engine_side is 1.
template <const BuildProfile& P>
void game_loop(const GameMaps& maps, GameStatus& game_status, int engine_side, BookFile& black_book,
               BookFile& white_book, BoardText& board_text, std::istream& in, std::ostream& out) {
    using namespace game_detail;
    constexpr GameLoopKind KIND = P.game_loop;
    constexpr const char* GO_WORD = KIND == GameLoopKind::MoveChecking ? "vgo" : "go";

    GameState g;
    pack_position(g.game_record, maps);
    g.engine_side = engine_side;
    g.search.excluded_ordinal = 0;
    g.search.best_ordinal = 0;
    maps_to_board_text(g.game_record, board_text);

    std::string line, word;
    line.reserve(MAX_LINE_LENGTH + 1);
    for (;;) {
        g.input_state = READING;
        if (!read_line(in, line)) {
            game_status[STOP_WORD] = STOP_REQUESTED;
            return;
        }
        word = first_word(line);
        if (word.empty()) continue;
        if (word == "menu" || word == "new") return;
        if (word == "quit") {
            game_status[STOP_WORD] = STOP_REQUESTED;
            return;
        }
        if (word == "white2" || word == "black2") {
            g.engine_side = 1;
            g.input_state = REPLY;
        }
        // The move checker never replies, so its "vgo" is always honoured.
        if (word == GO_WORD && ((g.engine_move_count == 0 && g.engine_side == 0) || KIND == GameLoopKind::MoveChecking)) {
            g.engine_side = 1;
            g.input_state = REPLY;
        }

        save_snapshot(g.snapshot_stack, MATCH_SLOT, g.game_record);
        restore_snapshot(g.snapshot_stack, MATCH_SLOT, g.trial_record);
        generate_moves(g.trial_record);

        if (word.size() >= 2 && word[0] == 'i' && word[1] == 'i') {
            show_board(out, g.game_record, board_text);
            out << '\n';
        }

        g.matched_ordinal = 0;
        if (g.input_state == READING) {
            g.input_state = parse_typed_move(word, g.squares);
            if (g.input_state == TO_RANK) match_typed_move(g);
        }
        const Color user = g.engine_side == 0 ? WHITE : BLACK;
        make_side_move(g.game_record, user, g.matched_ordinal);
        // En passant is only ever the immediate reply to the double step.
        if (g.matched_ordinal > 0) castling(g.game_record, user)[EN_PASSANT_BYTE] = 0;

        word.clear();
        g.squares = ParsedSquares{};

        if constexpr (KIND == GameLoopKind::MoveChecking) {
            if (g.input_state != REPLY) {
                out << "bad\n";
                out.flush();
            } else {
                judge_accepted(g, board_text, out);
            }
        } else if (g.input_state == REPLY) {
            engine_reply<P>(g, board_text, black_book, white_book, out);
        }

        if constexpr (KIND != GameLoopKind::Standard) {
            if (g.search.best_ordinal == NO_MOVE) print_verdict<P>(g.game_record, out);
        }
    }
}

// Reads games until "quit" or end of input, each from the start position with the engine
// as Black; both books stay open for the whole run.
template <const BuildProfile& P>
void command_loop(GameMaps& maps, GameStatus& game_status, BoardText& board_text, std::istream& in,
                  std::ostream& out) {
    BookFile black_book("bbook.vbk");
    BookFile white_book("wbook.vbk");
    while (game_status[STOP_WORD] != STOP_REQUESTED) {
        maps = GameMaps{};
        maps.white_castling = WHITE_CASTLING_START;
        maps.black_castling = BLACK_CASTLING_START;
        game_status.fill(0);
        board_text = make_board_text(START_TEXT);
        board_text_to_maps(maps, board_text);
        build_attack_maps(maps);
        game_loop<P>(maps, game_status, 0, black_book, white_book, board_text, in, out);
    }
    black_book.close();
    white_book.close();
}

}  // namespace quill
