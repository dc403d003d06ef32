#include "bookbuilder/book_builder.h"

#include <unistd.h>

#include <array>
#include <string_view>

#include "console/input_line.h"
#include "bookbuilder/book_writer.h"

namespace quill {
namespace {

// The kept characters of one input line; an over-long line is still one command.
constexpr int COMMAND_LINE_KEPT = static_cast<int>(MAX_LINE_LENGTH);
using CommandLine = std::array<char, COMMAND_LINE_KEPT>;

// Reads one input line into `line`, keeping at most COMMAND_LINE_KEPT characters in `length`.
// A line ends at LF (not kept) or at the end of the input; returns false when the input ended
// before a new line began. Every byte value is taken as it comes, NUL and CR included: a CR
// LF line end therefore leaves a trailing CR in the line, which the word scan treats as a
// blank, so DOS-style input works like plain LF input (a lone CR does not end a line).
bool read_command_line(std::istream& in, CommandLine& line, int& length) {
    using Traits = std::istream::traits_type;
    length = 0;
    std::streambuf* source = in.rdbuf();
    if (source == nullptr) return false;
    bool began = false;
    for (;;) {
        const Traits::int_type c = source->sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            in.setstate(std::ios::eofbit);
            return began;
        }
        began = true;
        if (Traits::to_char_type(c) == '\n') return true;
        if (length < COMMAND_LINE_KEPT) line[length++] = Traits::to_char_type(c);
    }
}

// Bytes that separate words. Besides blanks this takes in line-end bytes and NUL, so a word
// (and so a piece placed with "s") never holds a string terminator or a line end.
constexpr bool is_word_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\0';
}

// Finds the first word of the line; returns its length (0 when the line holds none) and
// its first character's index in `start`.
int first_word(const CommandLine& line, int length, int& start) {
    int i = 0;
    while (i < length && is_word_separator(line[i])) ++i;
    start = i;
    while (i < length && !is_word_separator(line[i])) ++i;
    return i - start;
}

// File letter "a".."h" or "A".."H" to 0..7; -1 for any other character.
constexpr int file_of(char c) {
    if (c >= 'a' && c <= 'h') return c - 'a';
    if (c >= 'A' && c <= 'H') return c - 'A';
    return -1;
}

// Rank digit "8".."1" to row 0..7 (row 0 is rank 8); -1 for any other character.
constexpr int row_of(char c) { return c >= '1' && c <= '8' ? '8' - c : -1; }

// The from- and to-square of a typed word, each coordinate 0 when its character is missing
// or not of its kind.
struct Coordinates {
    int from_file = 0, from_row = 0, to_file = 0, to_row = 0;
    bool any() const { return from_file != 0 || from_row != 0 || to_file != 0 || to_row != 0; }
};

Coordinates read_coordinates(const char* word, int word_length) {
    Coordinates c;
    const auto take = [&](int index, int (*convert)(char), int& coordinate) {
        if (index < word_length && convert(word[index]) >= 0) coordinate = convert(word[index]);
    };
    take(0, file_of, c.from_file);
    take(1, row_of, c.from_row);
    take(2, file_of, c.to_file);
    take(3, row_of, c.to_row);
    return c;
}

// A character the "s" command may put on the board: any byte a word can hold except the one
// that a reader of the book takes as its end, which would cut off every later record.
constexpr bool is_placeable(char c) { return c != BOOK_END_BYTE; }

constexpr int square_index(int file, int row) { return row * 8 + file; }

// What the command loop keeps between lines.
struct BuilderState {
    BoardText board;
    int record_parity;
    bool redisplay;
    bool reset;
};

// Carries out one command word (non-empty, not "menu") on the state. Returns false only
// when a record could not be written whole.
bool execute_word(const char* word, int word_length, BuilderState& state, int book,
                  std::ostream& out) {
    Coordinates at = read_coordinates(word, word_length);

    // A command word may still hold coordinate characters ("sNd3", "w2"); clearing them
    // after the command keeps it from also moving a piece.
    switch (word[0]) {
        case '!':
            state.redisplay = true;
            at = {};
            break;
        case '?':
            show_builder_help(out);
            state.redisplay = false;
            at = {};
            break;
        case 'z':
        case 'Z':
            state.reset = true;
            state.redisplay = true;
            at = {};
            break;
        case 's':
        case 'S':
            // Without a second character there is nothing to place: the board stays as it was
            // and is shown again like after any setup.
            if (word_length >= 2 && is_placeable(word[1]))
                state.board[square_index(at.to_file, at.to_row)] = word[1];
            state.redisplay = true;
            at = {};
            break;
        case 'w':
        case 'W':
            if (!append_book_record(book, state.board)) return false;
            state.record_parity ^= 1;
            state.redisplay = true;
            at = {};
            break;
        default:
            break;
    }

    // No chess rules: whatever stands on the from-square goes to the to-square. The copy
    // comes first, so naming one square twice empties it.
    if (at.any()) {
        const int from = square_index(at.from_file, at.from_row);
        state.board[square_index(at.to_file, at.to_row)] = state.board[from];
        state.board[from] = EMPTY_SQUARE;
        state.redisplay = true;
    }
    return true;
}

}  // namespace

int run_book_builder(std::istream& in, std::ostream& out) {
    const int book = open_book_for_append();
    if (book < 0) {
        out << "Error opening file.\n" << std::flush;
        return 1;
    }
    const BoardText start_position = make_board_text(START_TEXT);
    // The redisplay flag starts set and the start-up display does not clear it, so the first
    // command that reaches the end of the loop shows the board once more.
    BuilderState state{start_position, read_record_parity(book), true, false};
    show_builder_board(out, state.board, state.record_parity);

    int status = 0;
    CommandLine line{};
    int length = 0;
    for (;;) {
        // The user must see everything printed so far before typing the next line.
        out << '\n' << std::flush;
        if (!read_command_line(in, line, length)) break;  // end of input ends the tool

        int start = 0;
        const int word_length = first_word(line, length, start);
        if (word_length == 0) continue;
        const char* word = line.data() + start;
        if (std::string_view(word, word_length) == "menu") continue;

        out << "\n\n";
        if (!execute_word(word, word_length, state, book, out)) {
            out << "Error writing to the file.\n";
            status = 1;
            break;
        }
        if (state.reset) {
            state.board = start_position;
            state.reset = false;
        }
        if (state.redisplay) {
            show_builder_board(out, state.board, state.record_parity);
            state.redisplay = false;
        }
    }
    // The process would close the book on exit anyway; closing it here keeps in-process
    // callers (tests) from leaking a descriptor per run.
    ::close(book);
    out << std::flush;
    return status;
}

void show_builder_board(std::ostream& out, const BoardText& board, int record_parity) {
    // Per display line: left label, right label, command text, and the separator below it.
    static constexpr const char* LEFT[8] = {"8 ", "7 ", "6 ", "5 ", "4 ", "3 ", "2 ", "1 "};
    static constexpr const char* RIGHT[8] = {"|        1 ", "|        2 ", "|        3 ",
                                             "|        4 ", "|        5 ", "|        6 ",
                                             "|        7 ", "|        8 "};
    static constexpr const char* HINT[8] = {"|  z=reset board\n", "|  s=setup\n",
                                            "|  setup N on D3\n",  "|  w=writeposition\n",
                                            "|\n",                 "|  Written board\n",
                                            "|  you can edit\n",   "|\n"};
    static constexpr const char* RULE =
        "   ------------------------          -------------------------";
    static constexpr const char* SEPARATOR[8] = {
        "\n",
        "  EG:sNd3 means\n",
        "\n",
        "  To 'book.vbk'\n",
        "  65 bytes get\n",
        "  & ReturnEnter\n",
        "  in Text Editor\n",
        nullptr};

    out << "\n\n\n\n"
        << "   --   View For White   --          --   View For Black   ---  commands \n"
        << "   ========================          =========================  ==============\n";
    for (int i = 0; i < 8; ++i) {
        // Left: row i (rank 8 - i) from file a to h. Right: row 7 - i from file h down to a.
        out << LEFT[i];
        for (int file = 0; file < 8; ++file) out << '|' << board[square_index(file, i)] << ' ';
        out << RIGHT[i];
        for (int file = 7; file >= 0; --file)
            out << '|' << board[square_index(file, 7 - i)] << ' ';
        out << HINT[i];
        if (i < 7)
            out << RULE << SEPARATOR[i];
        else
            out << "  =========================          =========================  PRESS '?' help\n";
    }
    out << "    A  B  C  D  E  F  G  H             H  G  F  E  D  C  B  A  "
        << (record_parity == 0 ? "\n\n  Position Setup+" : "\n\n  Position Responce!") << "\n";
}

void show_builder_help(std::ostream& out) {
    out << "\nBOOKBUILDER by the Quillmoor authors, 2026. Freeware.\n"
        << "\nThis Program, is a chess opening book builder! an aide to helping new chess     "
        << "\nprogramers, build up a book, for Quillmoor or any other ameteur chess program "
        << "\nthe output file 'book.vbk' can be edited in a text editor, add added in sessions"
        << "\nredit mistakes, or keep seperate books for inclusion in a master book!"
        << "\n\nPressing z=resets the board, s=sets-up a piece on the board EG:sqd6 sQd2 etc"
        << "\n\n you enter moves from one square to another EG: d2d4 d3d4 E2e3 b1c3 etc..."
        << "\n\nPRESS '!' to REDISPLAY BOARD.\n\n\n\n\n\n";
}

}  // namespace quill
