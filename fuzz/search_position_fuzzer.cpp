// Fuzz target: positions into the move generator and the search of every engine build,
// judged by the independent referee.
//
// The input describes a position:
//   byte 0: the build, engine-a to engine-f (modulo 6);
//   byte 1: bit 0 the side to move (1: Black), bits 1 to 4 the castling rights K, Q, k, q;
//   byte 2: the file of a pawn that has just made a double step (modulo 9; 8: none), used
//           only when the board shows such a pawn with the two squares behind it empty;
//   then pairs of bytes: a square (modulo 64, a1 = 0) and what to put on it (modulo 13:
//           "KQRBNPkqrbnp" or an empty square); later pairs overwrite earlier ones.
// Any placement is searched, a position with no king or nine queens included, and must cause
// no undefined behaviour. Where the position could arise in a game and lies within the
// engine's capacity, two things are checked against the referee: the engine's legal moves
// (its legal-move walk, as the game loop matches typed moves with it) lead to exactly the
// positions the rules allow, and its reply, searched as the game loop does with a node limit
// of QUILL_FUZZ_SEARCH_NODES, is one legal move (or none when there is none).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "board/board_text.h"
#include "builds/profiles.h"
#include "driver/game_loop.h"
#include "engine/search_impl.h"
#include "fuzz_support.h"
#include "referee.h"
#include "support/position_setup.h"

#ifndef QUILL_FUZZ_SEARCH_NODES
#define QUILL_FUZZ_SEARCH_NODES 400
#endif

namespace {

using namespace quill;

constexpr std::uint64_t SEARCH_NODES = QUILL_FUZZ_SEARCH_NODES;
constexpr BuildProfile LIMITED_A = with_node_limit(ENGINE_A, SEARCH_NODES);
constexpr BuildProfile LIMITED_B = with_node_limit(ENGINE_B, SEARCH_NODES);
constexpr BuildProfile LIMITED_C = with_node_limit(ENGINE_C, SEARCH_NODES);
constexpr BuildProfile LIMITED_D = with_node_limit(ENGINE_D, SEARCH_NODES);
constexpr BuildProfile LIMITED_E = with_node_limit(ENGINE_E, SEARCH_NODES);
constexpr BuildProfile LIMITED_F = with_node_limit(ENGINE_F, SEARCH_NODES);

constexpr std::string_view PIECES = "KQRBNPkqrbnp";
constexpr int EMPTY_CHOICE = 12;
constexpr int NO_FILE = 8;
constexpr std::size_t HEADER = 3;
constexpr int SLOTS_PER_KIND = 3;
constexpr int PAWN_SLOTS = 8;
constexpr std::size_t MOVE_ORDINAL_LIMIT = 100;

// The engine's reply to the position, made as the game loop makes it when the book is silent.
template <const BuildProfile& P>
std::string reply(const PositionRecord& record, Color side) {
    // One search context per build for the whole process, as a program keeps one.
    static const auto context = std::make_unique<SearchContext<P>>();
    PositionRecord game = record;
    generate_moves(game);
    SearchOutputs search;
    search_reply<P>(*context, game, side, search);
    BoardText text;
    maps_to_board_text(game, text);
    return std::string(text.begin(), text.end());
}

using Reply = std::string (*)(const PositionRecord&, Color);
constexpr Reply REPLIES[] = {reply<LIMITED_A>, reply<LIMITED_B>, reply<LIMITED_C>,
                             reply<LIMITED_D>, reply<LIMITED_E>, reply<LIMITED_F>};
constexpr const char* BUILD_NAMES[] = {"engine-a", "engine-b", "engine-c", "engine-d", "engine-e", "engine-f"};

// The positions after each legal move of the side to move, by the engine's legal-move walk.
std::vector<std::string> engine_results(const PositionRecord& record, Color side) {
    PositionRecord base = record;
    generate_moves(base);
    base.white_move_ordinal = base.black_move_ordinal = 0;
    std::vector<std::string> results;
    for (;;) {
        PositionRecord trial = base;
        if (make_next_legal_move(trial, side)) break;
        move_ordinal(base, side) = move_ordinal(trial, side);
        generate_moves(trial);  // a pawn on the last rank becomes a queen here
        BoardText text;
        maps_to_board_text(trial, text);
        results.emplace_back(text.begin(), text.end());
    }
    std::sort(results.begin(), results.end());
    return results;
}

std::vector<std::string> referee_results(const oracle::Position& p) {
    std::vector<std::string> results;
    for (const oracle::Move& m : p.legal_moves()) {
        oracle::Position after = p;
        after.make(m);
        results.push_back(after.board_text());
    }
    std::sort(results.begin(), results.end());
    return results;
}

bool within_capacity(const oracle::Position& p) {
    int count[128] = {};
    for (oracle::Square s = 0; s < 64; ++s) ++count[static_cast<unsigned char>(p.at(s))];
    for (const char kind : std::string_view("NBRQnbrq"))
        if (count[static_cast<unsigned char>(kind)] > SLOTS_PER_KIND) return false;
    for (const char pawn : std::string_view("Pp"))
        if (count[static_cast<unsigned char>(pawn)] > PAWN_SLOTS) return false;
    return p.pseudo_legal_moves().size() <= MOVE_ORDINAL_LIMIT;
}

// The FEN of the input's position.
std::string fen_of(const std::uint8_t* data, std::size_t size) {
    char board[64];
    std::fill(board, board + 64, ' ');
    for (std::size_t i = HEADER; i + 1 < size; i += 2) {
        const int piece = data[i + 1] % (EMPTY_CHOICE + 1);
        board[data[i] % 64] = piece == EMPTY_CHOICE ? ' ' : PIECES[piece];
    }
    const bool black = data[1] & 1;
    // The referee writes the placement: its board text runs from a8, the board here from a1.
    std::string text(64, ' ');
    for (int sq = 0; sq < 64; ++sq) text[(7 - sq / 8) * 8 + sq % 8] = board[sq];
    const std::string placed = oracle::Position::from_board_text(text, oracle::Side::White)->fen();
    std::string fen = placed.substr(0, placed.find(' '));
    fen += black ? " b " : " w ";
    std::string rights;
    for (int bit = 0; bit < 4; ++bit)
        if (data[1] & (2 << bit)) rights += "KQkq"[bit];
    fen += rights.empty() ? "-" : rights;
    // En passant only right after a double step: the enemy pawn on its fourth rank from home,
    // the two squares behind it empty.
    const int file = data[2] % (NO_FILE + 1);
    const int pawn_rank = black ? 3 : 4, step = black ? -1 : 1;
    const char enemy_pawn = black ? 'P' : 'p';
    if (file != NO_FILE && board[pawn_rank * 8 + file] == enemy_pawn && board[(pawn_rank + step) * 8 + file] == ' ' &&
        board[(pawn_rank + 2 * step) * 8 + file] == ' ')
        fen += std::string(" ") + static_cast<char>('a' + file) + static_cast<char>('1' + pawn_rank + step);
    else
        fen += " -";
    return fen;
}

[[noreturn]] void finding(const std::string& what, const std::string& fen, int build) {
    std::fprintf(stderr, "referee finding (%s): %s\n  position: %s\n", BUILD_NAMES[build], what.c_str(), fen.c_str());
    fuzzing::fail(what.c_str(), fen);
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += "\n    [" + t + "]";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < HEADER) return 0;
    const int build = data[0] % 6;
    const std::string fen = fen_of(data, size);
    const auto referee = oracle::Position::from_fen(fen);
    const auto setup = position_from_fen(fen);
    if (!referee || !setup) fuzzing::fail("a position the harness wrote was refused", fen);
    const Color side = setup->side_to_move;
    const bool judged = referee->is_reachable_shape() && within_capacity(*referee);

    const std::vector<std::string> engine = engine_results(setup->record, side);
    if (judged) {
        const std::vector<std::string> rules = referee_results(*referee);
        if (engine != rules)
            finding("the legal moves differ; the engine's:" + joined(engine) + "\n  the rules':" + joined(rules), fen,
                    build);
    }

    const std::string before = referee->board_text();
    const std::string after = REPLIES[build](setup->record, side);
    if (judged) {
        if (!referee->has_legal_move() && after != before) finding("a reply without a legal move: [" + after + "]", fen, build);
        if (referee->has_legal_move() && !referee->move_to(after))
            finding("the reply is no legal move: [" + after + "]", fen, build);
    }
    return 0;
}
