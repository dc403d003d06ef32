// Fuzz target: the book reader. The fuzz bytes become a book file; a BookReader held open on it
// answers lookups of a few positions, each followed along its chain of book answers the way
// the engine would meet them in a game. Every lookup is compared with a plain model of the
// format (CR dropped, Ctrl-Z ends the file, fixed 65-character units paired key, answer), and
// every adopted answer, however garbled, goes through what the game loop does with it next:
// the move generator, the move text, the legal-move test and the evaluation.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "book/book_reader.h"
#include "book/book_lookup.h"
#include "driver/move_text.h"
#include "engine/constants.h"
#include "engine/evaluate.h"
#include "engine/iterators.h"
#include "book_model.h"
#include "fuzz_support.h"

namespace {

using namespace quill;
using quill::fuzzing::BookModel;
using quill::fuzzing::fail;

// Lookups start from these positions; their keys are what a fuzzer most needs to find.
constexpr std::string_view START_POSITIONS[] = {
    START_TEXT,
    "rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR",  // after e2e4
    "rnbqkbnrpppp ppp            p       P           PPPP PPPRNBQKBNR",  // after e2e4 e7e5
    "rnbqkbnrpppppppp                             N  PPPPPPPPRNBQKB R",  // after g1f3
    "rnbqkbnrpppppppp                   P            PPP PPPPRNBQKBNR",  // after d2d4
    "    k                                                       K   ",  // kings only
    "                                                                ",  // empty board
};
constexpr int CHAIN_LENGTH = 8;  // book answers followed from one start position

PositionRecord position_of(const BoardText& text) {
    PositionRecord r{};
    r.white_castling = WHITE_CASTLING_START;
    r.black_castling = BLACK_CASTLING_START;
    board_text_to_maps(r, text);
    generate_moves(r);
    return r;
}

// Walks every legal move of `side` as the typed-move matcher does; returns how many there are.
int count_legal_moves(const PositionRecord& position, Color side) {
    PositionRecord r = position;
    generate_moves(r);
    move_ordinal(r, side) = 0;
    int count = 0;
    for (;;) {
        const PositionRecord before = r;
        if (make_next_legal_move(r, side)) break;
        const std::int32_t ordinal = move_ordinal(r, side);
        if (ordinal <= move_ordinal(before, side) || ordinal > MAX_MOVE_ORDINAL)
            fail("the legal-move walk did not advance", std::to_string(ordinal));
        ++count;
        r = before;
        move_ordinal(r, side) = ordinal;
    }
    return count;
}

// What the game loop does with a position the book put on its board.
void play_from(const PositionRecord& before, PositionRecord& after) {
    generate_moves(after);
    BoardText before_text, after_text;
    maps_to_board_text(before, before_text);
    maps_to_board_text(after, after_text);
    for (const Color engine : {WHITE, BLACK}) {
        MoveText text{};
        derive_move_text(before_text, after_text, pieces(before, engine), pieces(after, engine), text);
        count_legal_moves(after, engine);
        for (const Color view : {WHITE, BLACK}) {
            evaluate_position<Evaluation::Standard>(after, view);
            evaluate_position<Evaluation::Noisy>(after, view);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzing::scratch().file("fuzz.vbk");
    fuzzing::write_file(path, data, size);
    const BookModel model(std::string_view(reinterpret_cast<const char*>(data), size));

    BookReader book(path.c_str());
    if (!book.is_open()) fail("the book file did not open", path);

    int hits = 0;
    for (const std::string_view start : START_POSITIONS) {
        PositionRecord position = position_of(make_board_text(start));
        for (int step = 0; step < CHAIN_LENGTH; ++step) {
            BoardText key, got;
            maps_to_board_text(position, key);
            const std::optional<std::string> expected = model.lookup(std::string_view(key.data(), key.size()));
            const bool hit = expected.has_value();

            PositionRecord looked_up = position;
            int found = 1;
            book_lookup(looked_up, found, book);
            if (found != (hit ? 1 : 0)) fail(hit ? "a lookup missed a key in the book" : "a lookup hit a key not in the book");
            if (!hit) {
                if (!(looked_up == position)) fail("a missed lookup changed the position");
                break;
            }
            PositionRecord only_pieces = position;
            for (const Color c : {WHITE, BLACK})
                for (int k = 0; k < PIECE_KIND_NB; ++k)
                    piece_board(only_pieces, c, PieceKind(k)) = piece_board(looked_up, c, PieceKind(k));
            if (!(only_pieces == looked_up)) fail("a lookup changed more than the piece boards");
            maps_to_board_text(looked_up, got);
            if (std::string_view(got.data(), got.size()) != *expected)
                fail("a lookup adopted the wrong answer", std::string(got.begin(), got.end()));

            play_from(position, looked_up);
            position = looked_up;
            ++hits;
        }
    }
    if (std::getenv("QUILL_FUZZ_VERBOSE")) std::fprintf(stderr, "book hits %d\n", hits);
    return 0;
}
