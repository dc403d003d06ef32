// The sample books in books/: every entry is one legal move of the book's colour, the books
// hold exactly the positions of their PGN repertoires, replayed here through the engine's own
// legal-move iterators, each answered by the move its lines play most, and they cover the
// openings they are shipped for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "support/position_setup.h"
#include "book/book_lookup.h"
#include "driver/move_text.h"
#include "engine/iterators.h"
#include "notation/pgn.h"
#include "notation/san.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

const fs::path BOOKS_DIR = fs::path(QUILL_TEST_DATA) / ".." / "books";
constexpr int RECORD_BYTES = BOARD_TEXT_LENGTH + 2;  // the position and CR LF

struct ShippedBook {
    const char* file;
    const char* repertoire;  // the PGN file of its lines in books/
    Color color;         // the engine's colour when it reads this book
};
// Names the book in test output.
void PrintTo(const ShippedBook& book, std::ostream* out) { *out << book.file; }

const ShippedBook WHITE_BOOK = {"wbook.vbk", "repertoire-white.pgn", WHITE};
const ShippedBook BLACK_BOOK = {"bbook.vbk", "repertoire-black.pgn", BLACK};
// The plies of each line that the books are made from.
constexpr int BOOK_PLIES = 40;

struct Entry {
    std::string key, answer;
    friend bool operator==(const Entry&, const Entry&) = default;
};

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The entries of a book file of whole CR LF records (any partial record is dropped; the
// format test reports it).
std::vector<Entry> read_entries(const ShippedBook& book) {
    const std::string bytes = read_bytes(BOOKS_DIR / book.file);
    std::vector<Entry> entries;
    for (std::size_t at = 0; at + 2 * RECORD_BYTES <= bytes.size(); at += 2 * RECORD_BYTES)
        entries.push_back({bytes.substr(at, BOARD_TEXT_LENGTH), bytes.substr(at + RECORD_BYTES, BOARD_TEXT_LENGTH)});
    return entries;
}

std::string text_of(const PositionRecord& r) {
    BoardText t;
    maps_to_board_text(r, t);
    return {t.begin(), t.end()};
}

// The position of a board text with regenerated maps. A record holds no castling rights, so
// each side may castle wherever its king and that rook stand at home.
PositionRecord position_of(const std::string& text) {
    PositionRecord r;
    board_text_to_maps(r, make_board_text(text));
    for (const Color c : {WHITE, BLACK}) {
        const int back = relative_rank(c, 0);
        std::uint8_t flags = 0;
        if (piece_board(r, c, KING).byte(back) & FILE_E) flags |= CASTLE_KING_RIGHT;
        if (piece_board(r, c, ROOK).byte(back) & FILE_H) flags |= CASTLE_SHORT_ROOK;
        if (piece_board(r, c, ROOK).byte(back) & FILE_A) flags |= CASTLE_LONG_ROOK;
        castling(r, c)[CASTLE_FLAGS_BYTE] = flags;
    }
    generate_moves(r);
    return r;
}

// The positions after each legal move of `side`, walked with the engine's legal iterator.
std::vector<PositionRecord> legal_successors(PositionRecord position, Color side) {
    generate_moves(position);
    position.white_move_ordinal = position.black_move_ordinal = 0;
    std::vector<PositionRecord> successors;
    std::int32_t ordinal = 0;
    for (;;) {
        PositionRecord trial = position;
        move_ordinal(trial, side) = ordinal;
        if (make_next_legal_move(trial, side)) return successors;
        ordinal = move_ordinal(trial, side);
        successors.push_back(trial);
    }
}

// The move the engine announces for `side` going from `before` to `after`, read from that
// side's occupancy before and after; empty when no move can be read.
std::string announced_move(const PositionRecord& before, const PositionRecord& after, Color side) {
    BoardText before_text, after_text;
    maps_to_board_text(before, before_text);
    maps_to_board_text(after, after_text);
    MoveText move{};
    if (!derive_move_text(before_text, after_text, pieces(before, side), pieces(after, side), move)) return {};
    return {move.begin(), move.end()};
}

// The texts reachable from `text` by one legal move of `side`.
std::set<std::string> one_move_from(const std::string& text, Color side) {
    std::set<std::string> texts;
    for (const PositionRecord& next : legal_successors(position_of(text), side)) texts.insert(text_of(next));
    return texts;
}

// What the lines of a repertoire make of the board: in each position of the book's colour
// within BOOK_PLIES, how many lines play each answer; and every position of the lines with
// its side to move.
struct Replay {
    std::map<std::string, std::map<std::string, int>> answers;
    std::set<std::pair<std::string, Color>> positions;
    int lines = 0;
    std::string error;
};

// Plays each line of the book's repertoire from the start with the engine's legal moves.
Replay replay(const ShippedBook& book) {
    Replay r;
    const std::string text = read_bytes(BOOKS_DIR / book.repertoire);
    PgnReader reader(text, [&r](int line, const std::string& message) {
        r.error += "line " + std::to_string(line) + ": " + message + "\n";
    });
    PgnGame game;
    while (reader.next(game)) {
        ++r.lines;
        GamePosition position = start_position();
        r.positions.insert({text_of(position.record), WHITE});
        int ply = 0;
        for (const PgnMove& move : game.moves) {
            const std::vector<LegalMove> moves = legal_moves(position);
            const SanMatch match = resolve_san(move.san, position, moves);
            if (match.status != SanStatus::Found) {
                r.error += "line " + std::to_string(move.line) + ": " + match.message + "\n";
                break;
            }
            const GamePosition after = play_move(position, moves[match.index]);
            if (position.side == book.color && ply < BOOK_PLIES) ++r.answers[text_of(position.record)][text_of(after.record)];
            position = after;
            r.positions.insert({text_of(position.record), position.side});
            ++ply;
        }
    }
    return r;
}

class ShippedBooks : public ::testing::TestWithParam<ShippedBook> {};

TEST_P(ShippedBooks, RecordsAreWholeCrLfLinesOfPieceLetters) {
    const std::string bytes = read_bytes(BOOKS_DIR / GetParam().file);
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.size() % (2 * RECORD_BYTES), 0u) << "records must pair up into whole entries";
    for (std::size_t at = 0; at < bytes.size(); at += RECORD_BYTES) {
        const std::string record = bytes.substr(at, RECORD_BYTES);
        EXPECT_EQ(record.substr(BOARD_TEXT_LENGTH), "\r\n") << "record at byte " << at;
        EXPECT_EQ(record.find_first_not_of(PieceLetters), BOARD_TEXT_LENGTH) << "record at byte " << at;
    }
}

TEST_P(ShippedBooks, EveryAnswerIsOneLegalMoveOfTheBooksColour) {
    const Color color = GetParam().color;
    const std::vector<Entry> entries = read_entries(GetParam());
    ASSERT_FALSE(entries.empty());
    for (const Entry& e : entries) {
        const PositionRecord key = position_of(e.key);
        int reaching = 0;
        for (const PositionRecord& next : legal_successors(key, color)) {
            if (text_of(next) != e.answer) continue;
            ++reaching;
            EXPECT_NE(announced_move(key, next, color), "") << e.key;
        }
        EXPECT_EQ(reaching, 1) << "key   |" << e.key << "|\nanswer|" << e.answer << "|";
    }
}

TEST_P(ShippedBooks, HoldsExactlyThePositionsOfItsRepertoireAnsweredAsMostLinesPlay) {
    const Replay r = replay(GetParam());
    ASSERT_EQ(r.error, "");
    ASSERT_GE(r.lines, 15);
    std::set<std::string> book_keys;
    for (const Entry& e : read_entries(GetParam())) {
        EXPECT_TRUE(book_keys.insert(e.key).second) << "a key stands twice: " << e.key;
        const auto played = r.answers.find(e.key);
        ASSERT_NE(played, r.answers.end()) << "a key no line reaches: " << e.key;
        const auto count = played->second.find(e.answer);
        ASSERT_NE(count, played->second.end()) << "an answer no line plays to " << e.key;
        for (const auto& [answer, lines] : played->second) EXPECT_LE(lines, count->second) << "a more played answer to " << e.key;
    }
    EXPECT_EQ(book_keys.size(), r.answers.size()) << "every position of the colour in the lines is a key";
}

TEST_P(ShippedBooks, NoKeyArisesWithTheOtherSideToMove) {
    // The engine matches a key whatever side is to move, so a key met with the user to move
    // would hand the user's move to the book.
    const Color other = ~GetParam().color;
    std::set<std::string> other_to_move;
    for (const auto& [text, side] : replay(GetParam()).positions)
        if (side == other) other_to_move.insert(text);
    for (const Entry& e : read_entries(GetParam())) other_to_move.insert(e.answer);
    for (const Entry& e : read_entries(GetParam())) EXPECT_EQ(other_to_move.count(e.key), 0u) << e.key;
}

TEST_P(ShippedBooks, TheEngineLookupAnswersEveryKeyWithItsOwnEntry) {
    BookReader book((BOOKS_DIR / GetParam().file).string().c_str());
    ASSERT_TRUE(book.is_open());
    for (const Entry& e : read_entries(GetParam())) {
        PositionRecord r = position_of(e.key);
        int found = 1;
        book_lookup(r, found, book);
        EXPECT_EQ(found, 1) << e.key;
        EXPECT_EQ(text_of(r), e.answer);
    }
}

INSTANTIATE_TEST_SUITE_P(WhiteAndBlack, ShippedBooks, ::testing::Values(WHITE_BOOK, BLACK_BOOK),
                         [](const auto& info) { return std::string(info.param.color == WHITE ? "white" : "black"); });

// The answer the book gives to `key`, or empty when the key is not in it.
std::string answer_to(const std::vector<Entry>& entries, const std::string& key) {
    for (const Entry& e : entries)
        if (e.key == key) return e.answer;
    return {};
}

// How many keys of the book are one move of `side` away from `text`.
int keys_one_move_from(const std::vector<Entry>& entries, const std::string& text, Color side) {
    const std::set<std::string> next = one_move_from(text, side);
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return next.count(e.key) > 0; }));
}

// The start position after one move of White, named by its squares.
std::string after_white_move(const std::string& move) {
    const PositionRecord start = position_of(std::string(START_TEXT));
    for (const PositionRecord& next : legal_successors(start, WHITE))
        if (announced_move(start, next, WHITE) == move) return text_of(next);
    return {};
}

TEST(ShippedBookCoverage, WhiteOpensWithE4AndMeetsSeveralDefences) {
    const std::vector<Entry> entries = read_entries(WHITE_BOOK);
    const std::string first = answer_to(entries, std::string(START_TEXT));
    ASSERT_EQ(first, after_white_move("e2e4"));
    // 1...e5, 1...c5, 1...e6 and 1...c6 at least.
    EXPECT_GE(keys_one_move_from(entries, first, BLACK), 4);
}

TEST(ShippedBookCoverage, BlackAnswersEachMainFirstMoveAndSeveralFollowUps) {
    const std::vector<Entry> entries = read_entries(BLACK_BOOK);
    EXPECT_EQ(answer_to(entries, std::string(START_TEXT)), "") << "the engine never has Black to move at the start";
    for (const char* move : {"e2e4", "d2d4", "c2c4", "g1f3"}) {
        const std::string key = after_white_move(move);
        ASSERT_NE(key, "") << move;
        const std::string answer = answer_to(entries, key);
        ASSERT_NE(answer, "") << "no answer to " << move;
        EXPECT_GE(keys_one_move_from(entries, answer, WHITE), 3) << "White's second moves after " << move;
    }
}

}  // namespace
}  // namespace quill
