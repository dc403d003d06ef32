// The sample books in books/: every entry is one legal move of the book's colour, the books
// hold exactly the entries of their scripted lines, replayed here through the engine's own
// legal-move iterators, and they cover the openings they are shipped for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "board/attack_maps.h"
#include "board/board_text.h"
#include "support/position_setup.h"
#include "book/book_lookup.h"
#include "driver/move_text.h"
#include "engine/iterators.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

const fs::path BOOKS_DIR = fs::path(QUILL_TEST_DATA) / ".." / "books";
constexpr int RECORD_BYTES = BOARD_TEXT_LENGTH + 2;  // the position and CR LF

struct ShippedBook {
    const char* file;
    const char* scripts;  // the folder of its lines under books/scripts
    Color color;         // the engine's colour when it reads this book
};
// Names the book in test output.
void PrintTo(const ShippedBook& book, std::ostream* out) { *out << book.file; }

const ShippedBook WHITE_BOOK = {"wbook.vbk", "white", WHITE};
const ShippedBook BLACK_BOOK = {"bbook.vbk", "black", BLACK};

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

// One scripted line: the first word of each command line, comments left out.
struct Script {
    std::string name;
    std::vector<std::string> words;
};

std::vector<Script> read_scripts(const ShippedBook& book) {
    std::vector<fs::path> paths;
    for (const auto& file : fs::directory_iterator(BOOKS_DIR / "scripts" / book.scripts))
        if (file.path().extension() == ".txt") paths.push_back(file.path());
    std::sort(paths.begin(), paths.end());
    std::vector<Script> scripts;
    for (const fs::path& path : paths) {
        Script s{path.filename().string(), {}};
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            const std::size_t start = line.find_first_not_of(" \t\r");
            if (start == std::string::npos) continue;
            s.words.push_back(line.substr(start, line.find_first_of(" \t\r", start) - start));
        }
        scripts.push_back(std::move(s));
    }
    return scripts;
}

bool is_square_pair(const std::string& w) {
    return w.size() == 4 && w[0] >= 'a' && w[0] <= 'h' && w[1] >= '1' && w[1] <= '8' && w[2] >= 'a' &&
           w[2] <= 'h' && w[3] >= '1' && w[3] <= '8';
}

// What a script makes of the board: the records bookbuilder writes at each "w" with the side
// then to move, and every position of the game with its side to move.
struct Replay {
    std::vector<std::string> records;
    std::vector<Color> record_sides;
    std::set<std::pair<std::string, Color>> positions;
    std::string error;
};

// Plays a script from the start position. Each square pair is made on a board text the way
// bookbuilder makes it (the piece simply goes); as soon as the text is the result of one legal
// move of the side to move, that move is played on the game record, and it must be announced
// as the first square pair of the group (two pairs only for castling, the king's first).
Replay replay(const Script& script) {
    Replay r;
    const auto fail = [&r](const std::string& why) {
        r.error = why;
        return r;
    };
    PositionRecord game = position_from_fen(START_FEN)->record;
    Color to_move = WHITE;
    std::string board(START_TEXT);
    std::vector<std::string> group;
    r.positions.insert({board, to_move});
    for (const std::string& word : script.words) {
        if (word == "w") {
            if (!group.empty()) return fail("'" + group[0] + "' makes no legal move before a w");
            r.records.push_back(board);
            r.record_sides.push_back(to_move);
            continue;
        }
        if (!is_square_pair(word)) return fail("'" + word + "' is neither a move nor w");
        const int from = ('8' - word[1]) * 8 + (word[0] - 'a'), to = ('8' - word[3]) * 8 + (word[2] - 'a');
        board[to] = board[from];
        board[from] = EMPTY_SQUARE;
        group.push_back(word);

        bool made = false;
        for (const PositionRecord& next : legal_successors(game, to_move)) {
            if (text_of(next) != board) continue;
            const std::string move = announced_move(game, next, to_move);
            const bool castles = move == "e1g1" || move == "e1c1" || move == "e8g8" || move == "e8c8";
            if (move != group[0] || (group.size() == 2 && !castles))
                return fail("'" + group[0] + "' is announced as '" + move + "'");
            game = next;
            game.white_move_ordinal = game.black_move_ordinal = 0;
            expire_en_passant(game, to_move);  // as the game loop does
            to_move = ~to_move;
            r.positions.insert({board, to_move});
            group.clear();
            made = true;
            break;
        }
        if (!made && group.size() == 2) return fail("'" + group[0] + " " + group[1] + "' is no legal move");
    }
    if (!group.empty()) return fail("the line ends in the middle of a move");
    if (r.records.empty() || r.records.size() % 2 != 0) return fail("the line leaves a key without answer");
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

TEST_P(ShippedBooks, HoldsExactlyTheEntriesOfItsScriptedLines) {
    const Color color = GetParam().color;
    std::vector<Entry> expected;
    std::set<std::string> keys;
    const std::vector<Script> scripts = read_scripts(GetParam());
    ASSERT_FALSE(scripts.empty());
    for (const Script& script : scripts) {
        const Replay r = replay(script);
        ASSERT_EQ(r.error, "") << script.name;
        for (std::size_t i = 0; i < r.records.size(); i += 2) {
            EXPECT_EQ(r.record_sides[i], color) << script.name << ": key " << i / 2 + 1 << " has the wrong side to move";
            // A key met again (a shared first move or a transposition) must keep its answer.
            if (!keys.insert(r.records[i]).second) {
                const auto same = std::find_if(expected.begin(), expected.end(),
                                               [&](const Entry& e) { return e.key == r.records[i]; });
                EXPECT_EQ(same->answer, r.records[i + 1]) << script.name << ": key " << i / 2 + 1 << " answered twice";
                continue;
            }
            expected.push_back({r.records[i], r.records[i + 1]});
        }
    }
    const std::vector<Entry> book = read_entries(GetParam());
    EXPECT_EQ(book.size(), expected.size());
    for (std::size_t i = 0; i < std::min(book.size(), expected.size()); ++i) {
        EXPECT_EQ(book[i].key, expected[i].key) << "entry " << i + 1;
        EXPECT_EQ(book[i].answer, expected[i].answer) << "entry " << i + 1;
    }
}

TEST_P(ShippedBooks, NoKeyArisesWithTheOtherSideToMove) {
    // The engine matches a key whatever side is to move, so a key met with the user to move
    // would hand the user's move to the book.
    const Color other = ~GetParam().color;
    std::set<std::string> other_to_move;
    for (const Script& script : read_scripts(GetParam()))
        for (const auto& [text, side] : replay(script).positions)
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
                         [](const auto& info) { return std::string(info.param.scripts); });

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
